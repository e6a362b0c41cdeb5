#include "components/common/picture_orientation.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/display.h>
}

PictureOrientation OrientationFromDisplayMatrix(const int32_t matrix[9])
{
    int32_t rotation[9];
    std::memcpy(rotation, matrix, sizeof rotation);
    // A negative determinant is a mirror; flipping it back leaves a plain
    // rotation, which the mirror follows on the screen.
    const double determinant = double(matrix[0]) * matrix[4] - double(matrix[1]) * matrix[3];
    const bool mirrored = determinant < 0;
    if (mirrored) av_display_matrix_flip(rotation, 1, 0);
    const double counterclockwise = av_display_rotation_get(rotation);
    if (std::isnan(counterclockwise)) return {};
    const long turns = std::lround(-counterclockwise / 90.0);
    return {static_cast<int>(((turns % 4) + 4) % 4), mirrored};
}

std::string UprightFilters(const PictureOrientation& orientation)
{
    // By turns, then turned and mirrored: a turn and a mirror make one transpose.
    static const char* const kFilters[2][4] = {
        {"", "transpose=clock", "hflip,vflip", "transpose=cclock"},
        {"hflip", "transpose=cclock_flip", "vflip", "transpose=clock_flip"},
    };
    return kFilters[orientation.mirrored ? 1 : 0][orientation.clockwiseTurns & 3];
}

AVRational UprightAspect(AVRational displayAspect, const PictureOrientation& orientation)
{
    if (!orientation.IsSideways() || displayAspect.num <= 0 || displayAspect.den <= 0) return displayAspect;
    return av_inv_q(displayAspect);
}
