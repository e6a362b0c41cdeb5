// How a stored picture must be turned to stand upright: the display matrix
// of MP4/MOV streams comes down to a number of clockwise quarter turns, then
// an optional left-right mirror.
//
// The decoders apply it before anything else sees a frame, so frame sizes,
// display aspects and the size rules downstream are all upright.
#pragma once

#include <cstdint>
#include <string>

extern "C" {
#include <libavutil/rational.h>
}

struct PictureOrientation {
    int clockwiseTurns = 0;  // 0 to 3
    bool mirrored = false;   // left and right swapped after the turns

    bool IsUpright() const { return clockwiseTurns == 0 && !mirrored; }
    // A quarter turn either way swaps the frame's width and height.
    bool IsSideways() const { return clockwiseTurns % 2 != 0; }
    bool operator==(const PictureOrientation&) const = default;
};

// From a 3x3 display matrix (AV_PKT_DATA_DISPLAYMATRIX); angles that are not
// a multiple of 90 degrees go to the nearest one.
PictureOrientation OrientationFromDisplayMatrix(const int32_t matrix[9]);
// libavfilter's filters that turn a stored picture upright ("" when it is).
std::string UprightFilters(const PictureOrientation& orientation);
// The display aspect ratio once upright ({0, 1}, square pixels, stays so).
AVRational UprightAspect(AVRational displayAspect, const PictureOrientation& orientation);
