// CLetterbox: pictures of one raw layout and size into I420 frames of a
// fixed size, keeping the display aspect ratio: the picture is scaled to
// the largest size of its aspect that fits, centred, and the rest is black
// (letterbox or pillarbox). Output pixels are square.
//
// No locking: one streaming thread uses it.
#pragma once

#include <memory>

extern "C" {
#include <libswscale/swscale.h>
}

#include "components/media_format.h"

// Where the picture lies inside the output frame; even offsets and sizes, so
// the chroma planes line up.
struct LetterboxRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The largest rectangle of `displayAspect` ({0, 1}: width / height of the
// source) that fits a `width` x `height` frame, centred.
LetterboxRect FitLetterbox(AVRational displayAspect, int sourceWidth, int sourceHeight, int width, int height);

class CLetterbox {
public:
    CLetterbox();
    ~CLetterbox();
    CLetterbox(const CLetterbox&) = delete;
    CLetterbox& operator=(const CLetterbox&) = delete;

    // VFW_E_TYPE_NOT_ACCEPTED when libswscale cannot read `input`'s layout.
    HRESULT Open(const RawVideoFormat& input, int width, int height);
    // A new frame with the picture of the packed raw frame in `data`.
    HRESULT Scale(const BYTE* data, int size, AvFramePtr* frame);

private:
    struct SwsDeleter {
        void operator()(SwsContext* context) const { sws_freeContext(context); }
    };

    std::unique_ptr<SwsContext, SwsDeleter> m_context;
    RawVideoFormat m_input;
    int m_width = 0, m_height = 0;
    LetterboxRect m_picture;
};
