// The sample-rate converter: raw interleaved audio (16-bit integers or
// 32-bit floats) in, the same sample format out at another rate or with
// other channels, resampled and mixed by libswresample.
//
// IModuleConfig parameters (read when the output connects and when
// streaming starts):
// - SampleRate: the output rate in Hz, 1000 to 384000; 0 (the default)
//   keeps the input's rate.
// - MaxChannels: the most channels the output has, 1 to 8; more are mixed
//   down from the input's default layout (5.1 becomes stereo as players
//   downmix it), fewer are kept; 0 (the default) keeps the input's.
// Audio that keeps both passes through unchanged.
//
// Output times are continuous: they start at the first input sample's time
// and advance by the frames delivered, so gaps and jitter in the input's
// times do not reach the output. The end of the stream drains what the
// resampler still holds.
#pragma once

#include <vector>

#include "components/common/media_format.h"
#include "components/common/module_config.h"
#include "platform/dshow/transform_filter.h"

class CSampleRateConverter final : public CTransformFilter {
public:
    CSampleRateConverter();

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

    // Streaming thread, streaming lock held.
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;

private:
    RawAudioFormat OutputFormat(const RawAudioFormat& input) const;
    bool PassesThrough() const
    {
        return m_input.sampleRate == m_output.sampleRate && m_input.channels == m_output.channels;
    }
    // A fresh resampler and time line (a new run, segment or flush).
    HRESULT RestartResampler();
    // Resamples `frames` audio frames at `data` into the scratch buffer;
    // nullptr drains the resampler.
    HRESULT Resample(const BYTE* data, int frames, int* converted);
    // Delivers `frames` resampled frames from the scratch buffer.
    StreamResult DeliverResampled(int frames);

    CModuleConfig m_config;

    // Streaming state, guarded by the streaming lock.
    SwrContextPtr m_resampler;
    RawAudioFormat m_input, m_output;
    std::vector<BYTE> m_scratch;
    bool m_timed = false;  // m_origin is set
    REFERENCE_TIME m_origin = 0;
    int64_t m_delivered = 0;  // output frames since m_origin
};
