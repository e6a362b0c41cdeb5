#include "components/convert/audio_format_converter.h"

#include <cstring>
#include <new>

#include "components/component_ids.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/filter_mapper.h"

namespace {

constexpr AVSampleFormat kOutputFormats[] = {AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_FLT};

// Buffers a little larger than the input's are plenty; this many audio
// frames when the input's allocator does not say.
constexpr LONG kDefaultFrames = 8192;

}  // namespace

CAudioFormatConverter::CAudioFormatConverter() : CTransformFilter("audio format converter", CLSID_AudioFormatConverter) {}

HRESULT CAudioFormatConverter::CheckInputType(const CMediaType* type)
{
    return ReadRawAudioType(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioFormatConverter::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    const auto from = ReadRawAudioType(*input);
    const auto to = ReadRawAudioType(*output);
    if (!from || !to || to->sampleRate != from->sampleRate || to->channels != from->channels)
        return VFW_E_TYPE_NOT_ACCEPTED;
    for (AVSampleFormat format : kOutputFormats)
        if (to->sampleFormat == format) return S_OK;
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioFormatConverter::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position >= static_cast<int>(std::size(kOutputFormats))) return VFW_S_NO_MORE_ITEMS;
    auto format = ReadRawAudioType(Input()->CurrentMediaType());
    if (!format) return E_UNEXPECTED;
    format->sampleFormat = kOutputFormats[position];
    *type = RawAudioType(*format);
    return S_OK;
}

HRESULT CAudioFormatConverter::SetMediaType(PIN_DIRECTION direction, const CMediaType* type)
{
    const auto format = ReadRawAudioType(*type);
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    (direction == PINDIR_INPUT ? m_inputFormat : m_outputFormat) = *format;
    return S_OK;
}

HRESULT CAudioFormatConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    // An input sample of as many audio frames as the upstream buffers hold must fit.
    LONG frames = kDefaultFrames;
    ComPtr<IMemAllocator> upstream;
    ALLOCATOR_PROPERTIES upstreamProperties{};
    if (SUCCEEDED(Input()->GetAllocator(upstream.ReleaseAndGetAddressOf())) &&
        SUCCEEDED(upstream->GetProperties(&upstreamProperties)) && upstreamProperties.cbBuffer > 0)
        frames = upstreamProperties.cbBuffer / m_inputFormat.BytesPerFrame() + 1;
    ALLOCATOR_PROPERTIES wanted{std::max<LONG>(8, request->cBuffers), frames * m_outputFormat.BytesPerFrame(),
                                std::max<LONG>(1, request->cbAlign), 0};
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

HRESULT CAudioFormatConverter::Transform(IMediaSample* input, IMediaSample* output)
{
    BYTE* in = nullptr;
    BYTE* out = nullptr;
    input->GetPointer(&in);
    output->GetPointer(&out);
    const AVChannelLayout layout = DefaultLayout(m_inputFormat.channels);
    const uint8_t* planes[] = {in};
    const AudioSource source{planes, input->GetActualDataLength() / m_inputFormat.BytesPerFrame(),
                             m_inputFormat.sampleFormat, m_inputFormat.sampleRate, &layout};
    m_converted.clear();
    const HRESULT hr = m_converter.Convert(source, m_outputFormat, &m_converted);
    if (FAILED(hr)) return hr;
    if (m_converted.size() > static_cast<size_t>(output->GetSize())) return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(out, m_converted.data(), m_converted.size());
    return output->SetActualDataLength(static_cast<LONG>(m_converted.size()));
}

void RegisterAudioFormatConverter()
{
    ClassRegistry::Instance().Register(CLSID_AudioFormatConverter, CreateComObject<CAudioFormatConverter>);
    FilterMapper::Instance().RegisterFilter(
        {CLSID_AudioFormatConverter, "Audio Format Converter", MERIT_UNLIKELY, {{MEDIATYPE_Audio, GUID_NULL}}});
}
