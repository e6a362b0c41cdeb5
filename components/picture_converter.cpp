#include "components/picture_converter.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

PictureConverter::~PictureConverter() { sws_freeContext(m_context); }

HRESULT PictureConverter::Convert(const PictureSource& source, const RawVideoFormat& target, BYTE* buffer, int size)
{
    if (size < RawFrameSize(target)) return VFW_E_BUFFER_OVERFLOW;
    m_context = sws_getCachedContext(m_context, source.width, source.height, source.format, target.width,
                                      target.height, target.pixelFormat, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!m_context) return VFW_E_TYPE_NOT_ACCEPTED;
    uint8_t* planes[4] = {};
    int strides[4] = {};
    const int filled = av_image_fill_arrays(planes, strides, buffer, target.pixelFormat, target.width, target.height, 1);
    if (filled < 0) return HResultFromAv(filled);
    const int rows = sws_scale(m_context, source.planes, source.strides, 0, source.height, planes, strides);
    return rows < 0 ? HResultFromAv(rows) : S_OK;
}

HRESULT MapPackedPicture(const BYTE* buffer, int size, const RawVideoFormat& format, PackedPicture* picture)
{
    if (size < RawFrameSize(format)) return VFW_E_BUFFER_OVERFLOW;
    const int filled = av_image_fill_arrays(picture->planes, picture->strides, buffer, format.pixelFormat, format.width,
                                            format.height, 1);
    return filled < 0 ? HResultFromAv(filled) : S_OK;
}
