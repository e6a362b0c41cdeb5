// CMediaInfo: the media information object, CLSID_MediaInfo, not a filter.
//
// Reads what a media list row shows of a file (duration, frame size,
// streams, audio format, frame rate) and grabs one video frame as a small
// picture, with libavformat and libavcodec directly (no graph). Sizes and
// pictures are upright where the container's display matrix turns the
// stored ones (a phone held upright). Open probes only the start of the
// file (a few megabytes, two seconds of streams), so a folder of files
// fills in quickly; GetFrame seeks to the key frame before the position
// and decodes forward to it.
//
// Threads: one thread at a time (each caller makes its own object).
// Every method but Open gives E_UNEXPECTED before a successful Open.
#pragma once

#include "components/common/ffmpeg_support.h"
#include "components/common/picture_orientation.h"
#include "components/component_ids.h"
#include "components/component_interfaces.h"
#include "platform/com/safe_array.h"
#include "platform/dshow/dshow_types.h"


class CMediaInfo final : public CUnknown, public IMediaInfo {
public:
    CMediaInfo();
    ~CMediaInfo() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT Reserved3() override { return E_NOTIMPL; }
    HRESULT Reserved4() override { return E_NOTIMPL; }
    HRESULT Reserved5() override { return E_NOTIMPL; }
    HRESULT Reserved6() override { return E_NOTIMPL; }
    HRESULT Open(BSTR path) override;
    HRESULT GetDuration(double* seconds) override;
    HRESULT GetVideoSize(short* width, short* height) override;
    HRESULT GetFrame(double positionSeconds, LONG width, LONG height, SAFEARRAY** dib) override;
    HRESULT GetStreams(VARIANT_BOOL* hasVideo, VARIANT_BOOL* hasAudio) override;
    HRESULT GetAudioFormat(LONG* sampleRate, short* channels, short* bitsPerSample) override;
    HRESULT GetFrameRate(double* framesPerSecond) override;

private:
    const AVStream* VideoStream() const;
    const AVStream* AudioStream() const;
    PictureOrientation VideoOrientation() const;
    // The first frame at or after `positionSeconds`, or the last one.
    HRESULT DecodeFrameAt(double positionSeconds, AVFrame* frame);
    // Decodes from where the input stands (from its next key frame when
    // asked) up to the frame at `target` (in the stream's time base), or the
    // last one before the end.
    HRESULT DecodeFrameUpTo(int64_t target, bool fromKeyFrame, AVFrame* frame);

    AvInputPtr m_input;
    int m_video = -1;  // stream indexes, -1 for none
    int m_audio = -1;
};

void RegisterMediaInfo();
