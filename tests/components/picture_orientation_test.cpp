// Display matrices as FFmpeg writes them (a rotation, then a mirror), read
// back as the turns that set the picture upright.
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/display.h>
}

#include "components/common/picture_orientation.h"

namespace {

TEST(PictureOrientationTest, DisplayMatrixBecomesTurnsAndMirror)
{
    struct Row {
        double clockwise;  // as av_display_rotation_set takes it
        bool mirror;
        PictureOrientation expected;
        const char* filters;
        bool sideways;
    };
    const Row rows[] = {
        {0, false, {0, false}, "", false},
        {90, false, {1, false}, "transpose=clock", true},
        {-90, false, {3, false}, "transpose=cclock", true},
        {270, false, {3, false}, "transpose=cclock", true},
        {180, false, {2, false}, "hflip,vflip", false},
        {0, true, {0, true}, "hflip", false},
        {90, true, {1, true}, "transpose=cclock_flip", true},
        {-90, true, {3, true}, "transpose=clock_flip", true},
        {180, true, {2, true}, "vflip", false},
        {89.6, false, {1, false}, "transpose=clock", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.clockwise) + (row.mirror ? " mirrored" : ""));
        int32_t matrix[9];
        av_display_rotation_set(matrix, row.clockwise);
        if (row.mirror) av_display_matrix_flip(matrix, 1, 0);
        const PictureOrientation orientation = OrientationFromDisplayMatrix(matrix);
        EXPECT_EQ(orientation, row.expected);
        EXPECT_EQ(UprightFilters(orientation), row.filters);
        EXPECT_EQ(orientation.IsSideways(), row.sideways);
    }
}

TEST(PictureOrientationTest, OnlyAQuarterTurnTurnsTheDisplayAspect)
{
    EXPECT_EQ(av_cmp_q(UprightAspect({16, 9}, {1, false}), AVRational{9, 16}), 0);
    EXPECT_EQ(av_cmp_q(UprightAspect({16, 9}, {2, true}), AVRational{16, 9}), 0);
    EXPECT_EQ(UprightAspect({0, 1}, {1, false}).num, 0);
}

}  // namespace
