// Picture conversion and scaling with libswscale, in one place:
// - PictureConverter: a picture of any FFmpeg pixel layout and size into a
//   packed raw video buffer (media_format's layout). Used by the video
//   decoders (a stream that changes its layout or size midway still fills
//   the negotiated buffers) and the colour space converter.
// - FitLetterbox and ScaleIntoLetterbox: a picture scaled to the largest
//   size of its display aspect that fits a frame, centred, the rest black
//   (letterbox or pillarbox). Used by the scaler and CLetterbox.
// - CLetterbox: packed pictures of one layout and size into new I420
//   frames of a fixed size, letterboxed (the ASF writer's video streams).
//
// Not thread-safe: one streaming thread uses an instance.
#pragma once

#include "components/common/ffmpeg_support.h"
#include "components/common/media_format.h"

struct PictureSource {
    const uint8_t* const* planes;
    const int* strides;
    AVPixelFormat format;
    int width;
    int height;
};

class PictureConverter {
public:
    // Writes the converted picture into `buffer` (at least RawFrameSize(target) bytes).
    HRESULT Convert(const PictureSource& source, const RawVideoFormat& target, BYTE* buffer, int size);

private:
    SwsContextPtr m_context;
};

// The planes of a packed raw video buffer, as a source or a target.
struct PackedPicture {
    uint8_t* planes[4] = {};
    int strides[4] = {};
    PictureSource Source(const RawVideoFormat& format) const
    {
        return {planes, strides, format.pixelFormat, format.width, format.height};
    }
};
// VFW_E_BUFFER_OVERFLOW when `size` is below RawFrameSize(format).
HRESULT MapPackedPicture(const BYTE* buffer, int size, const RawVideoFormat& format, PackedPicture* picture);

// Where the picture lies inside the output frame; even offsets and sizes
// (but for a frame side of odd length, which the picture may fill), so the
// chroma planes line up.
struct LetterboxRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The largest rectangle of `displayAspect` ({0, 1}: width / height of the
// source) that fits a `width` x `height` frame, centred. A frame with a
// side below 2 pixels, or a source of no size, is filled whole.
LetterboxRect FitLetterbox(AVRational displayAspect, int sourceWidth, int sourceHeight, int width, int height);

// Scales `source` with `scaler` (made for the source and `picture`'s size,
// to I420) into `picture` of the I420 frame `target` (`width` x `height`),
// and blackens the rest of the frame.
HRESULT ScaleIntoLetterbox(SwsContext* scaler, const PictureSource& source, const LetterboxRect& picture,
                           uint8_t* const target[4], const int targetStrides[4], int width, int height);

class CLetterbox {
public:
    // VFW_E_TYPE_NOT_ACCEPTED when libswscale cannot read `input`'s layout.
    HRESULT Open(const RawVideoFormat& input, int width, int height);
    // A new frame with the picture of the packed raw frame in `data`.
    HRESULT Scale(const BYTE* data, int size, AvFramePtr* frame);

private:
    SwsContextPtr m_context;
    RawVideoFormat m_input;
    int m_width = 0, m_height = 0;
    LetterboxRect m_picture;
};
