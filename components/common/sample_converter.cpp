#include "components/common/sample_converter.h"

extern "C" {
#include <libswresample/swresample.h>
}

AVChannelLayout DefaultLayout(int channels)
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    return layout;
}

HRESULT OpenResampler(const ResamplerSide& from, const ResamplerSide& to, SwrContextPtr* resampler)
{
    SwrContext* context = nullptr;
    // FFmpeg 5.1 takes the layouts by non-const pointer but only copies them.
    int result = swr_alloc_set_opts2(&context, const_cast<AVChannelLayout*>(to.layout), to.format, to.sampleRate,
                                     const_cast<AVChannelLayout*>(from.layout), from.format, from.sampleRate, 0,
                                     nullptr);
    resampler->reset(context);
    if (result >= 0) result = swr_init(context);
    if (result < 0) resampler->reset();
    return HResultFromAv(result);
}

SampleConverter::~SampleConverter() { av_channel_layout_uninit(&m_fromLayout); }

HRESULT SampleConverter::Configure(const AudioSource& source, const RawAudioFormat& target)
{
    // Layouts without an order (some WAV and decoder outputs) get the
    // customary one for their channel count.
    AVChannelLayout from{};
    if (source.layout->order == AV_CHANNEL_ORDER_UNSPEC) from = DefaultLayout(source.layout->nb_channels);
    else av_channel_layout_copy(&from, source.layout);
    const bool same = m_context && m_fromFormat == source.format && m_fromRate == source.sampleRate &&
                      av_channel_layout_compare(&m_fromLayout, &from) == 0 &&
                      m_target.sampleFormat == target.sampleFormat && m_target.sampleRate == target.sampleRate &&
                      m_target.channels == target.channels;
    if (same) {
        av_channel_layout_uninit(&from);
        return S_OK;
    }
    av_channel_layout_uninit(&m_fromLayout);
    m_fromLayout = from;
    m_fromFormat = source.format;
    m_fromRate = source.sampleRate;
    m_target = target;
    AVChannelLayout to = DefaultLayout(target.channels);
    return OpenResampler({&m_fromLayout, source.format, source.sampleRate},
                         {&to, target.sampleFormat, target.sampleRate}, &m_context);
}

HRESULT SampleConverter::Convert(const AudioSource& source, const RawAudioFormat& target, std::vector<uint8_t>* out)
{
    const HRESULT hr = Configure(source, target);
    if (FAILED(hr)) return hr;
    const int capacity = swr_get_out_samples(m_context.get(), source.frames);
    if (capacity < 0) return HResultFromAv(capacity);
    const size_t before = out->size();
    out->resize(before + static_cast<size_t>(capacity) * target.BytesPerFrame());
    uint8_t* destination = out->data() + before;
    const int converted =
        swr_convert(m_context.get(), &destination, capacity, const_cast<const uint8_t**>(source.planes), source.frames);
    if (converted < 0) {
        out->resize(before);
        return HResultFromAv(converted);
    }
    out->resize(before + static_cast<size_t>(converted) * target.BytesPerFrame());
    return S_OK;
}
