// The AAC encoder (CLSID_AacEncoder, FFmpeg's native aac): interleaved PCM
// (8, 16 or 32 bit) or float audio in, AAC-LC packets out, with the
// AudioSpecificConfig in the output type for the MP4 multiplexer.
//
// IModuleConfig parameter, read when "Out" connects and when streaming
// starts: BitRate, an index into kAacBitRates (default 18, 128 kbit/s);
// 27, one past the table, asks for the largest. A rate above what AAC can
// carry for the channel count and sample rate (6144 bits per channel and
// frame of 1024) becomes the largest rate of the table that it can.
//
// Timing: the first sample's start time anchors the stream; after it, the
// audio is counted, so times are exact to the audio frame (gaps between
// input samples are not filled). The input is cut into the codec's frames
// of 1024; the last one is short and the codec pads it. The first packet
// starts 1024 frames early (the codec's priming), so decoders and the MP4
// edit list give back exactly the input's duration.
#pragma once

#include <array>

#include "components/component_interfaces.h"
#include "components/encode/audio_frame_queue.h"
#include "components/encode/encoder_filter.h"


// The rate in bits per second that `index` gives for the channel count and
// sample rate.
int AacBitRateForIndex(int index, int channels, int sampleRate);

class CAacEncoder final : public CEncoderFilter {
public:
    CAacEncoder();

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT StartStreaming() override;

protected:
    HRESULT OpenCodec(const CMediaType& input, AvCodecContextPtr* codec) override;
    HRESULT Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets) override;
    HRESULT Finish(std::vector<AvPacketPtr>* packets) override;
    LONG MaxPacketSize(const CMediaType& input) const override;

private:
    // Streaming state, guarded by the streaming lock.
    CAudioFrameQueue m_queue;
    RawAudioFormat m_input;
    bool m_started = false;  // the first sample set the start time
};

void RegisterAacEncoder();
