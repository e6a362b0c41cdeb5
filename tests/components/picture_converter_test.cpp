// Where the letterbox puts a picture: centred, of the source's display
// aspect, with even offsets and sizes, and never a plane of no size, even
// for frames of a pixel or two.
#include <gtest/gtest.h>

#include "components/common/picture_converter.h"

namespace {

struct FitCase {
    const char* name;
    AVRational aspect;
    int sourceWidth, sourceHeight, width, height;
    LetterboxRect expected;
};

std::ostream& operator<<(std::ostream& out, const FitCase& c) { return out << c.name; }

const FitCase kFits[] = {
    {"same aspect fills", {16, 9}, 1920, 1080, 1024, 576, {0, 0, 1024, 576}},
    {"4:3 into 16:9 is pillarboxed", {4, 3}, 720, 576, 1024, 576, {128, 0, 768, 576}},
    {"16:9 into 4:3 is letterboxed", {16, 9}, 720, 576, 640, 480, {0, 60, 640, 360}},
    {"no aspect takes the source's", {0, 1}, 320, 240, 640, 360, {80, 0, 480, 360}},
    {"odd centring offset rounds down to even", {1, 1}, 100, 100, 320, 250, {34, 0, 250, 250}},
    {"a very wide source keeps two rows", {1000, 1}, 1000, 1, 64, 64, {0, 30, 64, 2}},
    {"a one-pixel-high frame is filled", {16, 9}, 1920, 1080, 64, 1, {0, 0, 64, 1}},
    {"a one-pixel-wide frame is filled", {16, 9}, 1920, 1080, 1, 64, {0, 0, 1, 64}},
    {"a two-pixel frame holds a two-pixel picture", {4, 3}, 4, 3, 2, 2, {0, 0, 2, 2}},
    {"a source of no size fills the frame", {0, 1}, 0, 0, 320, 240, {0, 0, 320, 240}},
};

class FitLetterboxCases : public testing::TestWithParam<FitCase> {};

TEST_P(FitLetterboxCases, PlacesThePicture)
{
    const FitCase& c = GetParam();
    const LetterboxRect r = FitLetterbox(c.aspect, c.sourceWidth, c.sourceHeight, c.width, c.height);
    EXPECT_EQ(c.expected.x, r.x);
    EXPECT_EQ(c.expected.y, r.y);
    EXPECT_EQ(c.expected.width, r.width);
    EXPECT_EQ(c.expected.height, r.height);
    // Inside the frame, never empty.
    EXPECT_GT(r.width, 0);
    EXPECT_GT(r.height, 0);
    EXPECT_LE(r.x + r.width, c.width);
    EXPECT_LE(r.y + r.height, c.height);
}

INSTANTIATE_TEST_SUITE_P(Letterbox, FitLetterboxCases, testing::ValuesIn(kFits));

}  // namespace
