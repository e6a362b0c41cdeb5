// The video encoders: I420 frames in, H.264 (CLSID_AvcEncoder, libx264) or
// MPEG-4 Visual (CLSID_Mpeg4Encoder, FFmpeg's mpeg4) packets out, with the
// codec's global header in the output type for the MP4 multiplexer.
//
// IModuleConfig parameters (read when "Out" connects and when streaming
// starts):
// - BitRate: the average bit rate in bits per second (default 3000000).
// - EncoderMode: 0 (default) encodes at that average bit rate; 1 encodes at
//   a constant quality (x264's CRF 23, MPEG-4 quantiser 4) and ignores the rate.
// - EncoderProfile: H.264 profile, 0 baseline, 1 main, 2 high (default).
//   The MPEG-4 encoder takes and ignores it (it always writes Simple or
//   Advanced Simple as its options need).
// - AvcOption (H.264 only) / Mpeg4Option (MPEG-4 only): 1 (default) lets the
//   encoder use B-frames; 0 keeps to I- and P-frames. Baseline never has them.
//
// Frame times: the time base follows the input's AvgTimePerFrame (25 fps if
// it is unknown); a frame's presentation time is its sample's start time.
#pragma once

#include "components/encode/encoder_filter.h"

// x264's speed/quality trade-off. "veryfast" encodes 1024x576 at 3 Mbit/s
// nearly twice as fast as "faster" on two cores, and keeps the look-ahead,
// macroblock-tree rate control and sub-pixel refinement that "superfast"
// drops ("ultrafast" also drops CABAC and B-frames), which show at that rate.
// The netbook benchmark gives the ffmpeg command the same preset.
inline constexpr const char* kX264Preset = "veryfast";

// The settings that tell the two encoders apart.
struct VideoCodecChoice;

class CVideoEncoder final : public CEncoderFilter {
public:
    explicit CVideoEncoder(const VideoCodecChoice& choice);

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT StartStreaming() override;

protected:
    HRESULT OpenCodec(const CMediaType& input, AvCodecContextPtr* codec) override;
    HRESULT Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets) override;
    LONG MaxPacketSize(const CMediaType& input) const override;

private:
    const VideoCodecChoice& m_choice;
    // Streaming state, guarded by the streaming lock.
    int64_t m_lastPts = AV_NOPTS_VALUE;
};

// Registers both video encoders for CoCreateInstance.
void RegisterVideoEncoders();
