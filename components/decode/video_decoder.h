// The video decoders, on libavcodec:
// - CLSID_H264Decoder: H.264. IModuleConfig takes
//   DecoderOutputMode (integer, VT_UI4 or VT_I4): accepted and stored; the
//   output is always the decoder's own layout (I420 for 4:2:0 streams);
//   DecoderInputFrameRate (VT_R8, frames per second, 0..1000): times frames
//   that carry no time stamp when the input type gives no frame duration.
// - CLSID_Mpeg4Decoder: MPEG-4 Visual (DivX, Xvid...), H.263.
// - CLSID_Mpeg2Decoder: MPEG-1 and MPEG-2 video, with DVD subpictures
//   blended in (components/decode/mpeg2_decoder.h).
// - CLSID_OtherVideoDecoder: every other video codec libavcodec decodes
//   (WMV1/2/3, VC-1, FLV1, VP6, MJPEG, MS-MPEG4...); registered for the
//   common ones, it takes any.
//
// Output: raw video (media_format) in the decoder's own pixel layout and the
// stream's upright frame size: I420 for yuv420p, the layout's own sub type
// for any other; the frame duration is the input's AvgTimePerFrame, the
// display aspect ratio the stream's (upright). Frames are deinterlaced and
// turned upright before they leave (frame_filters.h). A stream that changes
// layout or size midway is converted to what was negotiated.
#pragma once

#include "components/common/media_format.h"
#include "components/common/picture_converter.h"
#include "components/decode/decoder_filter.h"
#include "components/decode/frame_filters.h"

class CVideoDecoder : public CDecoderFilter {
public:
    CVideoDecoder(REFCLSID clsid, std::vector<AVCodecID> codecs);

    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT EndFlush() override;

protected:
    StreamResult DeliverFrame(const AVFrame& frame, REFERENCE_TIME start) override;
    REFERENCE_TIME FrameDuration(const AVFrame& frame) const override;
    void ConfigureCodec(AVCodecContext* context) override;
    StreamResult Drained() override;
    // The frame duration to use when neither the input type nor the
    // packets give one (0: unknown).
    virtual REFERENCE_TIME FallbackFrameDuration() const { return 0; }
    // Streaming lock held: draws on a packed picture of the output format
    // that starts at `start`, before it is delivered.
    virtual void DrawOnPicture(BYTE*, const RawVideoFormat&, REFERENCE_TIME) {}

private:
    // What the decoder puts out for its input.
    RawVideoFormat NativeFormat();
    // Delivers each frame that comes out of the filters in a sample.
    FrameFilters::Deliver FilteredDelivery();
    // Writes `frame` into `sample` in the output format.
    HRESULT FillSample(const AVFrame& frame, REFERENCE_TIME start, IMediaSample* sample);

    RawVideoFormat m_outputFormat;
    // Streaming lock held.
    PictureConverter m_converter;
    FrameFilters m_filters;
};

// Registers the four video decoders for CoCreateInstance and, at
// MERIT_NORMAL, for intelligent connect with their codecs' sub types.
void RegisterVideoDecoders();
