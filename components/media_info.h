// CMediaInfo: the media information object, CLSID_MediaInfo, not a filter.
//
// Reads what a media list row shows of a file (duration, frame size,
// streams, audio format, frame rate) and grabs one video frame as a small
// picture, with libavformat and libavcodec directly (no graph). Open probes
// only the start of the file (a few megabytes, two seconds of streams), so
// a folder of files fills in quickly; GetFrame seeks to the key frame before
// the position and decodes forward to it.
//
// Threads: one thread at a time (each caller makes its own object).
// Every method but Open gives E_UNEXPECTED before a successful Open.
#pragma once

#include "components/component_ids.h"
#include "components/ffmpeg_support.h"
#include "platform/com/safe_array.h"
#include "platform/dshow/dshow_types.h"

struct IMediaInfo : IUnknown {
    static constexpr IID iid = IID_IMediaInfo;

    // Slots 3 to 6 hold places the program never calls, so that Open is slot
    // 7; they answer E_NOTIMPL.
    virtual HRESULT Reserved3() = 0;
    virtual HRESULT Reserved4() = 0;
    virtual HRESULT Reserved5() = 0;
    virtual HRESULT Reserved6() = 0;

    // Opens the file at a full UTF-8 path; a missing file gives
    // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), one that is not media (empty,
    // garbage) VFW_E_INVALID_FILE_FORMAT. Opening again replaces the file.
    virtual HRESULT Open(BSTR path) = 0;
    // S_FALSE and 0 when the file does not say how long it is.
    virtual HRESULT GetDuration(double* seconds) = 0;
    // The coded frame size; VFW_E_NOT_FOUND (and 0 x 0) without video.
    virtual HRESULT GetVideoSize(short* width, short* height) = 0;
    // The frame at `positionSeconds` (the last one when past the end) scaled
    // to width x height, as a packed DIB in a new VT_UI1 array that the
    // caller destroys: a BITMAPINFOHEADER (40 bytes, 24 bits, BI_RGB,
    // positive height: bottom-up rows) and then the rows, each padded to a
    // multiple of 4 bytes. E_INVALIDARG for a size outside 1..4096;
    // VFW_E_NOT_FOUND without video.
    virtual HRESULT GetFrame(double positionSeconds, LONG width, LONG height, SAFEARRAY** dib) = 0;
    // A cover picture stored in an audio file does not count as video.
    virtual HRESULT GetStreams(VARIANT_BOOL* hasVideo, VARIANT_BOOL* hasAudio) = 0;
    // The first audio stream's rate, channels and sample depth: that of the
    // samples for PCM and lossless codecs, and 16 for lossy codecs, which
    // store no depth of their own (16 bits is what they are played at).
    // VFW_E_NOT_FOUND without audio.
    virtual HRESULT GetAudioFormat(LONG* sampleRate, short* channels, short* bitsPerSample) = 0;
    // VFW_E_NOT_FOUND without video; S_FALSE and 0 when the rate is unknown.
    virtual HRESULT GetFrameRate(double* framesPerSecond) = 0;

protected:
    ~IMediaInfo() = default;
};

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
    // The first frame at or after `positionSeconds`, or the last one.
    HRESULT DecodeFrameAt(double positionSeconds, AVFrame* frame);

    AvInputPtr m_input;
    int m_video = -1;  // stream indexes, -1 for none
    int m_audio = -1;
};

void RegisterMediaInfo();
