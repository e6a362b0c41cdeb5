// PictureConverter: converts a picture of any FFmpeg pixel layout and size
// into a packed raw video buffer (media_format's layout), with libswscale.
// Shared by the video decoders (a stream that changes its layout or size
// midway still fills the negotiated buffers) and the colour space converter.
//
// Not thread-safe: one streaming thread uses an instance.
#pragma once

extern "C" {
struct SwsContext;
}

#include "components/media_format.h"

struct PictureSource {
    const uint8_t* const* planes;
    const int* strides;
    AVPixelFormat format;
    int width;
    int height;
};

class PictureConverter {
public:
    PictureConverter() = default;
    ~PictureConverter();
    PictureConverter(const PictureConverter&) = delete;
    PictureConverter& operator=(const PictureConverter&) = delete;

    // Writes the converted picture into `buffer` (at least RawFrameSize(target) bytes).
    HRESULT Convert(const PictureSource& source, const RawVideoFormat& target, BYTE* buffer, int size);

private:
    SwsContext* m_context = nullptr;
};

// The planes of a packed raw video buffer, as a source for Convert.
struct PackedPicture {
    uint8_t* planes[4] = {};
    int strides[4] = {};
    PictureSource Source(const RawVideoFormat& format) const
    {
        return {planes, strides, format.pixelFormat, format.width, format.height};
    }
};
HRESULT MapPackedPicture(const BYTE* buffer, int size, const RawVideoFormat& format, PackedPicture* picture);
