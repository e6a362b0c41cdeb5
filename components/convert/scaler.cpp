#include "components/convert/scaler.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include "components/common/sample_delivery.h"
#include "components/component_ids.h"

namespace {

constexpr int kMaxSize = 8192;

// 0 (the source's size) or 2 to kMaxSize: I420 needs two rows and columns
// for a chroma sample.
ModuleParameter SizeParameter()
{
    ModuleParameter size = IntegerParameter(0, 0, kMaxSize);
    size.isValid = [inRange = size.isValid](const VARIANT& value) { return inRange(value) && value.lVal != 1; };
    return size;
}

std::map<GUID, ModuleParameter> ScalerParameters()
{
    using namespace component_params;
    return {
        {ScalerWidth, SizeParameter()},
        {ScalerHeight, SizeParameter()},
        {ScalerKeepAspect, IntegerParameter(1, 0, 1)},
        {ScalerFullHd, IntegerParameter(0, 0, 1)},
    };
}

std::optional<RawVideoFormat> ReadI420(const AM_MEDIA_TYPE& type)
{
    auto format = ReadRawVideoType(type);
    if (!format || format->pixelFormat != AV_PIX_FMT_YUV420P) return std::nullopt;
    return format;
}

}  // namespace

CScaler::CScaler()
    : CTransformFilter("scaler", CLSID_Scaler), m_config(static_cast<IBaseFilter*>(this), CLSID_Scaler, ScalerParameters())
{
}

HRESULT CScaler::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IModuleConfig::iid) return GetInterface(static_cast<IModuleConfig*>(&m_config), object);
    return CTransformFilter::NonDelegatingQueryInterface(riid, object);
}

RawVideoFormat CScaler::OutputFormat(const RawVideoFormat& input) const
{
    RawVideoFormat output = input;
    const int width = m_config.Int(component_params::ScalerWidth);
    const int height = m_config.Int(component_params::ScalerHeight);
    if (width > 0 && height > 0) {
        output.width = width;
        output.height = height;
    }
    output.displayAspect = AVRational{0, 1};
    return output;
}

HRESULT CScaler::CheckInputType(const CMediaType* type)
{
    return ReadI420(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CScaler::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    const auto in = ReadI420(*input);
    const auto out = ReadI420(*output);
    if (!in || !out) return VFW_E_TYPE_NOT_ACCEPTED;
    const RawVideoFormat wanted = OutputFormat(*in);
    return out->width == wanted.width && out->height == wanted.height ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CScaler::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const auto in = ReadI420(Input()->CurrentMediaType());
    if (!in) return E_UNEXPECTED;
    *type = RawVideoType(OutputFormat(*in));
    return S_OK;
}

HRESULT CScaler::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    const auto out = ReadI420(Output()->CurrentMediaType());
    if (!out) return E_UNEXPECTED;
    return SetBufferProperties(allocator, *request, 2, RawFrameSize(*out));
}

HRESULT CScaler::StartStreaming()
{
    const auto in = ReadI420(Input()->CurrentMediaType());
    const auto out = ReadI420(Output()->CurrentMediaType());
    if (!in || !out) return E_UNEXPECTED;
    m_input = *in;
    m_output = *out;
    const bool keepAspect = m_config.Int(component_params::ScalerKeepAspect) != 0;
    m_picture = keepAspect ? FitLetterbox(m_input.displayAspect, m_input.width, m_input.height, m_output.width,
                                          m_output.height)
                           : LetterboxRect{0, 0, m_output.width, m_output.height};
    const int filter = m_config.Int(component_params::ScalerFullHd) ? SWS_LANCZOS : SWS_BICUBIC;
    m_context.reset(sws_getContext(m_input.width, m_input.height, AV_PIX_FMT_YUV420P, m_picture.width,
                                   m_picture.height, AV_PIX_FMT_YUV420P, filter, nullptr, nullptr, nullptr));
    return m_context ? S_OK : E_OUTOFMEMORY;
}

HRESULT CScaler::StopStreaming()
{
    m_context.reset();
    return S_OK;
}

HRESULT CScaler::Transform(IMediaSample* input, IMediaSample* output)
{
    BYTE* source = nullptr;
    BYTE* target = nullptr;
    input->GetPointer(&source);
    output->GetPointer(&target);
    PackedPicture in, out;
    HRESULT hr = MapPackedPicture(source, input->GetActualDataLength(), m_input, &in);
    if (SUCCEEDED(hr)) hr = MapPackedPicture(target, output->GetSize(), m_output, &out);
    if (SUCCEEDED(hr))
        hr = ScaleIntoLetterbox(m_context.get(), in.Source(m_input), m_picture, out.planes, out.strides, m_output.width,
                                m_output.height);
    return FAILED(hr) ? hr : output->SetActualDataLength(RawFrameSize(m_output));
}
