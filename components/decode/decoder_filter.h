// CDecoderFilter: the libavcodec decoding that the video and audio decoders
// share, on CTransformFilter's streaming path.
//
// One input sample is one packet (media_format's compressed types); it may
// give any number of frames, so Receive decodes and hands each frame to
// DeliverFrame instead of filling one output sample. At the end of the
// stream the decoder is drained (delayed frames come out) before the end of
// stream goes on. Packets that fail to decode are skipped; a stream of
// which nothing decodes at all ends the run with EC_ERRORABORT
// (VFW_E_INVALID_FILE_FORMAT).
//
// Times: a frame's start is its best-effort timestamp (from the packets'
// start times), else the end of the frame before it. Frames wholly outside
// the segment (NewSegment's start and stop) are decoded but not delivered,
// which is how trimming drops the frames between a key frame and the start.
//
// Threads: connection on the application's thread; everything else on the
// upstream streaming thread with the streaming lock (m_receiveLock) held.
#pragma once

#include <optional>
#include <vector>

#include "components/common/ffmpeg_support.h"
#include "components/common/picture_orientation.h"
#include "platform/dshow/transform_filter.h"

class CDecoderFilter : public CTransformFilter {
public:
    // `codecs`: the codecs this decoder takes; empty takes every codec of
    // `kind` that libavcodec can decode.
    CDecoderFilter(const char* objectName, REFCLSID clsid, AVMediaType kind, std::vector<AVCodecID> codecs);

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    // Not used: Receive decodes, as one packet gives any number of frames.
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

protected:
    // The input's codec parameters (valid once the input is connected).
    const AVCodecParameters& InputParameters() const { return *m_parameters; }
    // How the input's pictures are turned upright (video).
    const PictureOrientation& InputOrientation() const { return m_orientation; }

    // Streaming lock held. Delivers one decoded frame that starts at `start`;
    // anything but Ok stops the stream.
    virtual StreamResult DeliverFrame(const AVFrame& frame, REFERENCE_TIME start) = 0;
    // How long a frame lasts (0 if unknown).
    virtual REFERENCE_TIME FrameDuration(const AVFrame& frame) const = 0;
    // Called before the codec opens (threads, options).
    virtual void ConfigureCodec(AVCodecContext*) {}
    // Streaming lock held: the codec has given its last frame; end of
    // stream goes on after this (frames held back go out here).
    virtual StreamResult Drained() { return StreamResult::Own(S_OK); }

private:
    bool Takes(AVCodecID codec) const;
    // Sends a packet (nullptr: drain) and delivers what comes out.
    StreamResult Decode(const AVPacket* packet);
    StreamResult DeliverDecodedFrames();
    StreamResult OutputFrame(const AVFrame& frame);
    // A packet or frame that did not decode: skipped, unless nothing decodes at all.
    HRESULT NoteDecodeError(int error);

    const AVMediaType m_kind;
    const std::vector<AVCodecID> m_codecs;
    AvCodecParametersPtr m_parameters;
    PictureOrientation m_orientation;

    // Streaming lock held.
    AvCodecContextPtr m_codec;
    AvPacketPtr m_packet;
    AvFramePtr m_frame;
    REFERENCE_TIME m_segmentStart = INT64_MIN;
    REFERENCE_TIME m_segmentStop = INT64_MAX;
    std::optional<REFERENCE_TIME> m_nextStart;
    int64_t m_framesDecoded = 0;
    int64_t m_decodeErrors = 0;
};

// The codec lists of the decoders, for their registrations and CheckInputType.
struct DecoderRegistration {
    CLSID clsid;
    const char* name;
    AVMediaType kind;
    std::vector<AVCodecID> codecs;  // registered input sub types (SubtypeForCodec)
    std::vector<GUID> extraSubtypes;  // customary aliases the program prefers decoders for
};
// Registers the decoder's input types at MERIT_NORMAL for intelligent connect.
void RegisterDecoderInputs(const DecoderRegistration& registration);
