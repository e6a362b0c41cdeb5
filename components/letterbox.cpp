#include "components/letterbox.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {

int RoundToEven(double value) { return 2 * static_cast<int>(std::lround(value / 2)); }

}  // namespace

LetterboxRect FitLetterbox(AVRational displayAspect, int sourceWidth, int sourceHeight, int width, int height)
{
    AVRational aspect = displayAspect;
    if (aspect.num <= 0 || aspect.den <= 0) aspect = AVRational{sourceWidth, sourceHeight};
    LetterboxRect picture{0, 0, width, height};
    const int64_t wide = int64_t{aspect.num} * height, tall = int64_t{aspect.den} * width;
    if (wide > tall)
        picture.height = std::clamp(RoundToEven(double(width) * aspect.den / aspect.num), 2, height);
    else if (wide < tall)
        picture.width = std::clamp(RoundToEven(double(height) * aspect.num / aspect.den), 2, width);
    picture.x = ((width - picture.width) / 2) & ~1;
    picture.y = ((height - picture.height) / 2) & ~1;
    return picture;
}

CLetterbox::CLetterbox() = default;

CLetterbox::~CLetterbox() = default;

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
    if (size < RawFrameSize(m_input)) return VFW_E_BUFFER_OVERFLOW;
    AvFramePtr out = MakeFrame();
    if (!out) return E_OUTOFMEMORY;
    out->format = AV_PIX_FMT_YUV420P;
    out->width = m_width;
    out->height = m_height;
    out->sample_aspect_ratio = AVRational{1, 1};
    int error = av_frame_get_buffer(out.get(), 0);
    if (error < 0) return HResultFromAv(error);
    if (m_picture.width != m_width || m_picture.height != m_height) {
        const ptrdiff_t lines[4] = {out->linesize[0], out->linesize[1], out->linesize[2], out->linesize[3]};
        error = av_image_fill_black(out->data, lines, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG, m_width, m_height);
        if (error < 0) return HResultFromAv(error);
    }
    uint8_t* source[4] = {};
    int sourceLines[4] = {};
    error = av_image_fill_arrays(source, sourceLines, data, m_input.pixelFormat, m_input.width, m_input.height, 1);
    if (error < 0) return HResultFromAv(error);
    uint8_t* target[4] = {out->data[0] + m_picture.y * out->linesize[0] + m_picture.x,
                          out->data[1] + m_picture.y / 2 * out->linesize[1] + m_picture.x / 2,
                          out->data[2] + m_picture.y / 2 * out->linesize[2] + m_picture.x / 2, nullptr};
    sws_scale(m_context.get(), source, sourceLines, 0, m_input.height, target, out->linesize);
    *frame = std::move(out);
    return S_OK;
}
