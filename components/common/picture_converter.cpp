#include "components/common/picture_converter.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

int RoundToEven(double value) { return 2 * static_cast<int>(std::lround(value / 2)); }

}  // namespace

HRESULT PictureConverter::Convert(const PictureSource& source, const RawVideoFormat& target, BYTE* buffer, int size)
{
    PackedPicture out;
    const HRESULT hr = MapPackedPicture(buffer, size, target, &out);
    if (FAILED(hr)) return hr;
    // The cached context is freed by the call when it cannot be reused.
    m_context.reset(sws_getCachedContext(m_context.release(), source.width, source.height, source.format,
                                         target.width, target.height, target.pixelFormat, SWS_BICUBIC, nullptr,
                                         nullptr, nullptr));
    if (!m_context) return VFW_E_TYPE_NOT_ACCEPTED;
    const int rows = sws_scale(m_context.get(), source.planes, source.strides, 0, source.height, out.planes, out.strides);
    return rows < 0 ? HResultFromAv(rows) : S_OK;
}

HRESULT MapPackedPicture(const BYTE* buffer, int size, const RawVideoFormat& format, PackedPicture* picture)
{
    if (size < RawFrameSize(format)) return VFW_E_BUFFER_OVERFLOW;
    const int filled = av_image_fill_arrays(picture->planes, picture->strides, buffer, format.pixelFormat, format.width,
                                            format.height, 1);
    return filled < 0 ? HResultFromAv(filled) : S_OK;
}

LetterboxRect FitLetterbox(AVRational displayAspect, int sourceWidth, int sourceHeight, int width, int height)
{
    LetterboxRect picture{0, 0, width, height};
    AVRational aspect = displayAspect;
    if (aspect.num <= 0 || aspect.den <= 0) aspect = AVRational{sourceWidth, sourceHeight};
    // Nothing to fit, or no room for a border of whole chroma samples.
    if (aspect.num <= 0 || aspect.den <= 0 || width < 2 || height < 2) return picture;
    const int64_t wide = int64_t{aspect.num} * height, tall = int64_t{aspect.den} * width;
    if (wide > tall)
        picture.height = std::clamp(RoundToEven(double(width) * aspect.den / aspect.num), 2, height);
    else if (wide < tall)
        picture.width = std::clamp(RoundToEven(double(height) * aspect.num / aspect.den), 2, width);
    picture.x = ((width - picture.width) / 2) & ~1;
    picture.y = ((height - picture.height) / 2) & ~1;
    return picture;
}

HRESULT ScaleIntoLetterbox(SwsContext* scaler, const PictureSource& source, const LetterboxRect& picture,
                           uint8_t* const target[4], const int targetStrides[4], int width, int height)
{
    if (picture.width != width || picture.height != height) {
        const ptrdiff_t strides[4] = {targetStrides[0], targetStrides[1], targetStrides[2], targetStrides[3]};
        uint8_t* planes[4] = {target[0], target[1], target[2], target[3]};
        const int error = av_image_fill_black(planes, strides, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG, width, height);
        if (error < 0) return HResultFromAv(error);
    }
    uint8_t* const inside[4] = {target[0] + picture.y * targetStrides[0] + picture.x,
                                target[1] + picture.y / 2 * targetStrides[1] + picture.x / 2,
                                target[2] + picture.y / 2 * targetStrides[2] + picture.x / 2, nullptr};
    const int rows = sws_scale(scaler, source.planes, source.strides, 0, source.height, inside, targetStrides);
    return rows < 0 ? HResultFromAv(rows) : S_OK;
}

HRESULT CLetterbox::Open(const RawVideoFormat& input, int width, int height)
{
    if (!sws_isSupportedInput(input.pixelFormat)) return VFW_E_TYPE_NOT_ACCEPTED;
    m_input = input;
    m_width = width;
    m_height = height;
    m_picture = FitLetterbox(input.displayAspect, input.width, input.height, width, height);
    m_context.reset(sws_getContext(input.width, input.height, input.pixelFormat, m_picture.width, m_picture.height,
                                   AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    return m_context ? S_OK : E_OUTOFMEMORY;
}

HRESULT CLetterbox::Scale(const BYTE* data, int size, AvFramePtr* frame)
{
    PackedPicture source;
    HRESULT hr = MapPackedPicture(data, size, m_input, &source);
    if (FAILED(hr)) return hr;
    AvFramePtr out = MakeFrame();
    if (!out) return E_OUTOFMEMORY;
    out->format = AV_PIX_FMT_YUV420P;
    out->width = m_width;
    out->height = m_height;
    out->sample_aspect_ratio = AVRational{1, 1};
    const int error = av_frame_get_buffer(out.get(), 0);
    if (error < 0) return HResultFromAv(error);
    hr = ScaleIntoLetterbox(m_context.get(), source.Source(m_input), m_picture, out->data, out->linesize, m_width,
                            m_height);
    if (FAILED(hr)) return hr;
    *frame = std::move(out);
    return S_OK;
}
