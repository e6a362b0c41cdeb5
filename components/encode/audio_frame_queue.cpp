#include "components/encode/audio_frame_queue.h"

#include <algorithm>

#include "components/common/sample_converter.h"
#include "components/encode/encode_packets.h"

extern "C" {
#include <libswresample/swresample.h>
}

namespace {

// Encoders without a fixed frame size take any; this many at a time.
constexpr int kVariableFrameSize = 1024;

}  // namespace

CAudioFrameQueue::CAudioFrameQueue() = default;

CAudioFrameQueue::~CAudioFrameQueue() = default;

HRESULT CAudioFrameQueue::Open(const RawAudioFormat& input, AVCodecContext* encoder)
{
    m_encoder = encoder;
    const AVChannelLayout inputLayout = DefaultLayout(input.channels);
    const HRESULT hr = OpenResampler({&inputLayout, input.sampleFormat, input.sampleRate},
                                     {&encoder->ch_layout, encoder->sample_fmt, encoder->sample_rate}, &m_resampler);
    if (FAILED(hr)) return hr;

    m_frameSize = encoder->frame_size > 0 ? encoder->frame_size : kVariableFrameSize;
    m_fifo.reset(av_audio_fifo_alloc(encoder->sample_fmt, encoder->ch_layout.nb_channels, m_frameSize));
    if (!m_fifo) return E_OUTOFMEMORY;
    m_draining = false;
    m_nextPts = 0;
    return S_OK;
}

HRESULT CAudioFrameQueue::Encode(const BYTE* data, int frames, std::vector<AvPacketPtr>* packets)
{
    if (frames <= 0) return S_OK;
    const HRESULT hr = Convert(data, frames);
    return FAILED(hr) ? hr : EncodeQueued(packets);
}

HRESULT CAudioFrameQueue::Finish(std::vector<AvPacketPtr>* packets)
{
    m_draining = true;
    HRESULT hr = Convert(nullptr, 0);
    if (SUCCEEDED(hr)) hr = EncodeQueued(packets);
    return FAILED(hr) ? hr : EncodeFrame(m_encoder, nullptr, packets);
}

HRESULT CAudioFrameQueue::EncodeQueued(std::vector<AvPacketPtr>* packets)
{
    for (;;) {
        AvFramePtr frame;
        HRESULT hr = Pop(&frame);
        if (FAILED(hr) || !frame) return hr;
        hr = EncodeFrame(m_encoder, frame.get(), packets);
        if (FAILED(hr)) return hr;
    }
}

HRESULT CAudioFrameQueue::Convert(const BYTE* data, int frames)
{
    const int capacity = swr_get_out_samples(m_resampler.get(), frames);
    if (capacity < 0) return HResultFromAv(capacity);
    if (capacity == 0) return S_OK;
    uint8_t** planes = nullptr;
    int error = av_samples_alloc_array_and_samples(&planes, nullptr, m_encoder->ch_layout.nb_channels, capacity,
                                                   m_encoder->sample_fmt, 0);
    if (error < 0) return HResultFromAv(error);
    const uint8_t* in[1] = {data};
    const int converted = swr_convert(m_resampler.get(), planes, capacity, data ? in : nullptr, frames);
    error = converted < 0 ? converted : av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void**>(planes), converted);
    av_freep(&planes[0]);
    av_freep(&planes);
    return error < 0 ? HResultFromAv(error) : S_OK;
}

HRESULT CAudioFrameQueue::Pop(AvFramePtr* frame)
{
    frame->reset();
    const int queued = av_audio_fifo_size(m_fifo.get());
    if (queued == 0 || (queued < m_frameSize && !m_draining)) return S_OK;
    const bool takesShort = m_encoder->frame_size == 0 ||
                            (m_encoder->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    const int take = std::min(queued, m_frameSize);
    AvFramePtr out = MakeFrame();
    if (!out) return E_OUTOFMEMORY;
    out->nb_samples = takesShort ? take : m_frameSize;
    out->format = m_encoder->sample_fmt;
    out->sample_rate = m_encoder->sample_rate;
    int error = av_channel_layout_copy(&out->ch_layout, &m_encoder->ch_layout);
    if (error >= 0) error = av_frame_get_buffer(out.get(), 0);
    if (error < 0) return HResultFromAv(error);
    if (take < out->nb_samples)
        av_samples_set_silence(out->extended_data, take, out->nb_samples - take, m_encoder->ch_layout.nb_channels,
                               m_encoder->sample_fmt);
    error = av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void**>(out->extended_data), take);
    if (error < 0) return HResultFromAv(error);
    out->pts = m_nextPts;
    m_nextPts += out->nb_samples;
    *frame = std::move(out);
    return S_OK;
}
