#include "components/convert/colour_space_converter.h"

#include <new>

#include "components/common/sample_delivery.h"
#include "components/component_ids.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/filter_mapper.h"

namespace {

RawVideoFormat AsI420(RawVideoFormat format)
{
    format.pixelFormat = AV_PIX_FMT_YUV420P;
    return format;
}

}  // namespace

CColourSpaceConverter::CColourSpaceConverter() : CTransformFilter("colour space converter", CLSID_ColourSpaceConverter) {}

HRESULT CColourSpaceConverter::CheckInputType(const CMediaType* type)
{
    const auto format = ReadRawVideoType(*type);
    return format && format->pixelFormat != AV_PIX_FMT_YUV420P ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CColourSpaceConverter::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    const auto from = ReadRawVideoType(*input);
    const auto to = ReadRawVideoType(*output);
    return from && to && to->pixelFormat == AV_PIX_FMT_YUV420P && to->width == from->width && to->height == from->height
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CColourSpaceConverter::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const auto input = ReadRawVideoType(Input()->CurrentMediaType());
    if (!input) return E_UNEXPECTED;
    *type = RawVideoType(AsI420(*input));
    return S_OK;
}

HRESULT CColourSpaceConverter::SetMediaType(PIN_DIRECTION direction, const CMediaType* type)
{
    const auto format = ReadRawVideoType(*type);
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    (direction == PINDIR_INPUT ? m_inputFormat : m_outputFormat) = *format;
    return S_OK;
}

HRESULT CColourSpaceConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    return SetBufferProperties(allocator, *request, 4, RawFrameSize(m_outputFormat));
}

HRESULT CColourSpaceConverter::Transform(IMediaSample* input, IMediaSample* output)
{
    BYTE* in = nullptr;
    BYTE* out = nullptr;
    input->GetPointer(&in);
    output->GetPointer(&out);
    PackedPicture picture;
    HRESULT hr = MapPackedPicture(in, input->GetActualDataLength(), m_inputFormat, &picture);
    if (SUCCEEDED(hr)) hr = m_converter.Convert(picture.Source(m_inputFormat), m_outputFormat, out, output->GetSize());
    if (FAILED(hr)) return hr;
    return output->SetActualDataLength(RawFrameSize(m_outputFormat));
}

void RegisterColourSpaceConverter()
{
    ClassRegistry::Instance().Register(CLSID_ColourSpaceConverter, CreateComObject<CColourSpaceConverter>);
    FilterMapper::Instance().RegisterFilter(
        {CLSID_ColourSpaceConverter, "Colour Space Converter", MERIT_UNLIKELY, {{MEDIATYPE_Video, GUID_NULL}}});
}
