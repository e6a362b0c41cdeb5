#include "components/convert/sample_rate_converter.h"

#include <algorithm>

#include "components/common/sample_converter.h"
#include "components/common/sample_delivery.h"
#include "components/component_ids.h"

extern "C" {
#include <libswresample/swresample.h>
}

namespace {

constexpr int32_t kMinRate = 1000;
constexpr int32_t kMaxRate = 384000;
constexpr int kFramesPerBuffer = 4096;
constexpr int32_t kMaxChannels = 8;

std::map<GUID, ModuleParameter> SampleRateParameters()
{
    ModuleParameter rate = IntegerParameter(0, 0, kMaxRate);
    rate.isValid = [inRange = rate.isValid](const VARIANT& value) {
        return inRange(value) && (value.lVal == 0 || value.lVal >= kMinRate);
    };
    return {{component_params::SampleRate, rate},
            {component_params::MaxChannels, IntegerParameter(0, 0, kMaxChannels)}};
}

std::optional<RawAudioFormat> ReadConvertible(const AM_MEDIA_TYPE& type)
{
    auto format = ReadRawAudioType(type);
    if (!format || (format->sampleFormat != AV_SAMPLE_FMT_S16 && format->sampleFormat != AV_SAMPLE_FMT_FLT))
        return std::nullopt;
    return format;
}

}  // namespace

CSampleRateConverter::CSampleRateConverter()
    : CTransformFilter("sample-rate converter", CLSID_SampleRateConverter),
      m_config(static_cast<IBaseFilter*>(this), CLSID_SampleRateConverter, SampleRateParameters())
{
}

HRESULT CSampleRateConverter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IModuleConfig::iid) return GetInterface(static_cast<IModuleConfig*>(&m_config), object);
    return CTransformFilter::NonDelegatingQueryInterface(riid, object);
}

RawAudioFormat CSampleRateConverter::OutputFormat(const RawAudioFormat& input) const
{
    RawAudioFormat output = input;
    const int rate = m_config.Int(component_params::SampleRate);
    if (rate > 0) output.sampleRate = rate;
    const int channels = m_config.Int(component_params::MaxChannels);
    if (channels > 0) output.channels = std::min(output.channels, channels);
    return output;
}

HRESULT CSampleRateConverter::CheckInputType(const CMediaType* type)
{
    return ReadConvertible(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSampleRateConverter::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    const auto in = ReadConvertible(*input);
    const auto out = ReadConvertible(*output);
    if (!in || !out) return VFW_E_TYPE_NOT_ACCEPTED;
    const RawAudioFormat wanted = OutputFormat(*in);
    const bool same = out->sampleFormat == wanted.sampleFormat && out->channels == wanted.channels &&
                      out->sampleRate == wanted.sampleRate;
    return same ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSampleRateConverter::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const auto in = ReadConvertible(Input()->CurrentMediaType());
    if (!in) return E_UNEXPECTED;
    *type = RawAudioType(OutputFormat(*in));
    return S_OK;
}

HRESULT CSampleRateConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    const auto out = ReadConvertible(Output()->CurrentMediaType());
    if (!out) return E_UNEXPECTED;
    return SetBufferProperties(allocator, *request, 4, kFramesPerBuffer * out->BytesPerFrame());
}

HRESULT CSampleRateConverter::StartStreaming()
{
    const auto in = ReadConvertible(Input()->CurrentMediaType());
    const auto out = ReadConvertible(Output()->CurrentMediaType());
    if (!in || !out) return E_UNEXPECTED;
    m_input = *in;
    m_output = *out;
    m_resampler.reset();
    return PassesThrough() ? S_OK : RestartResampler();
}

HRESULT CSampleRateConverter::RestartResampler()
{
    m_timed = false;
    m_delivered = 0;
    const AVChannelLayout input = DefaultLayout(m_input.channels);
    const AVChannelLayout output = DefaultLayout(m_output.channels);
    return OpenResampler({&input, m_input.sampleFormat, m_input.sampleRate},
                         {&output, m_output.sampleFormat, m_output.sampleRate}, &m_resampler);
}

HRESULT CSampleRateConverter::StopStreaming()
{
    m_resampler.reset();
    return S_OK;
}

HRESULT CSampleRateConverter::Transform(IMediaSample*, IMediaSample*)
{
    return E_UNEXPECTED;  // never called: Receive delivers every sample itself
}

HRESULT CSampleRateConverter::Receive(IMediaSample* sample)
{
    // Passing through, the very sample travels on.
    if (PassesThrough()) return Input()->Settle(Output()->DeliverSample(sample));
    if (!m_timed) {
        REFERENCE_TIME start, end;
        m_origin = SUCCEEDED(sample->GetTime(&start, &end)) ? start : 0;
        m_timed = true;
    }
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    int frames = 0;
    const HRESULT hr = Resample(data, sample->GetActualDataLength() / m_input.BytesPerFrame(), &frames);
    return Input()->Settle(FAILED(hr) ? StreamResult::Own(hr) : DeliverResampled(frames));
}

HRESULT CSampleRateConverter::Resample(const BYTE* data, int frames, int* converted)
{
    if (!m_resampler) return E_UNEXPECTED;  // restarting it failed
    const int room = swr_get_out_samples(m_resampler.get(), frames);
    if (room < 0) return HResultFromAv(room);
    m_scratch.resize(static_cast<size_t>(room) * m_output.BytesPerFrame());
    uint8_t* out[] = {m_scratch.data()};
    const uint8_t* in[] = {data};
    // A null input asks swr to drain; any other pointer, even with no
    // frames, keeps what it holds for the next call.
    const int result = swr_convert(m_resampler.get(), out, room, data ? in : nullptr, frames);
    if (result < 0) return HResultFromAv(result);
    *converted = result;
    return S_OK;
}

StreamResult CSampleRateConverter::DeliverResampled(int frames)
{
    const int bytesPerFrame = m_output.BytesPerFrame();
    for (int done = 0; done < frames;) {
        const int count = std::min(kFramesPerBuffer, frames - done);
        const REFERENCE_TIME start = m_origin + av_rescale(m_delivered, UNITS, m_output.sampleRate);
        const REFERENCE_TIME end = m_origin + av_rescale(m_delivered + count, UNITS, m_output.sampleRate);
        const StreamResult result = DeliverBytes(
            Output(), m_scratch.data() + static_cast<size_t>(done) * bytesPerFrame, count * bytesPerFrame, start, end);
        if (!result.Ok()) return result;
        done += count;
        m_delivered += count;
    }
    return StreamResult::Own(S_OK);
}

HRESULT CSampleRateConverter::EndOfStream()
{
    if (!PassesThrough()) {
        int frames = 0;
        const HRESULT hr = Resample(nullptr, 0, &frames);
        StreamResult result = FAILED(hr) ? StreamResult::Own(hr) : DeliverResampled(frames);
        // Drained: whatever follows this end (a new segment) starts afresh.
        const HRESULT restarted = RestartResampler();
        if (result.Ok()) result = StreamResult::Own(restarted);
        if (!result.Ok()) return Input()->Settle(result);
    }
    return CTransformFilter::EndOfStream();
}

HRESULT CSampleRateConverter::EndFlush()
{
    {
        std::lock_guard lock(m_receiveLock);
        // A failure shows at the next sample, which finds no resampler.
        if (!PassesThrough()) RestartResampler();
    }
    return CTransformFilter::EndFlush();
}
