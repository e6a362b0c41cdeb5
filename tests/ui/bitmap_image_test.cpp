// Bitmaps: loading with premultiplied alpha, drawing with constant alpha,
// nine-grid stretching, and the stream form that copies them.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <cstdlib>
#include <functional>

#include "tests/support/temp_folder.h"
#include "ui/bitmap_image.h"

namespace {

// Test bitmaps served as ":/bitmaps/<id>.png" (ui_test_bitmaps.qrc).
constexpr int kStraightAlpha = 64001;  // RGBA (50,100,200,128) (255,255,255,255) (10,20,30,0) (3,1,255,128)
constexpr int kOpaqueRed = 64002;      // 4 x 4, with an alpha channel
constexpr int kGreen = 64003;          // 2 x 2, RGB

// The stored 32-bit word of a pixel, as blending reads it.
QRgb RawPixel(const QImage& image, int x, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

QImage Canvas(const QSize& size, QRgb fill)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(fill);
    return canvas;
}

TEST(BitmapLoading, PremultipliesStraightAlphaRoundingDown)
{
    CBitmapImage image;
    ASSERT_TRUE(image.LoadFromResource(kStraightAlpha));
    EXPECT_TRUE(image.HasAlpha());
    EXPECT_EQ(image.Image().format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(RawPixel(image.Image(), 0, 0), qRgba(25, 50, 100, 128));
    EXPECT_EQ(RawPixel(image.Image(), 1, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(RawPixel(image.Image(), 2, 0), qRgba(0, 0, 0, 0));
    EXPECT_EQ(RawPixel(image.Image(), 3, 0), qRgba(1, 0, 128, 128)) << "halves are dropped, not rounded";
}

TEST(BitmapLoading, KeepsRgbBitmapsOpaque)
{
    CBitmapImage image;
    ASSERT_TRUE(image.LoadFromResource(kGreen));
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(image.Image().format(), QImage::Format_RGB32);
    EXPECT_EQ(image.Image().size(), QSize(2, 2));
    EXPECT_EQ(RawPixel(image.Image(), 1, 1), qRgb(0, 200, 0));
}

TEST(BitmapLoading, MissingBitmapLeavesNothingToDraw)
{
    CBitmapImage image;
    ASSERT_TRUE(image.LoadFromResource(kGreen));
    EXPECT_FALSE(image.LoadFromResource(64999));
    EXPECT_TRUE(image.IsNull());
    EXPECT_FALSE(image.HasAlpha());

    QImage canvas = Canvas({4, 4}, qRgb(1, 2, 3));
    QPainter painter(&canvas);
    image.DrawImage(painter, 0, 0);
    painter.end();
    EXPECT_EQ(canvas, Canvas({4, 4}, qRgb(1, 2, 3)));
}

struct ConstantAlphaCase {
    const char* name;
    int id;
    int alpha;
    QRgb expected;  // over white
};

const ConstantAlphaCase kConstantAlphaCases[] = {
    {"opaque_picture_at_full_alpha", kOpaqueRed, 255, qRgb(255, 0, 0)},
    {"opaque_picture_at_half_alpha", kOpaqueRed, 128, qRgb(255, 127, 127)},
    {"invisible_at_zero_alpha", kOpaqueRed, 0, qRgb(255, 255, 255)},
    {"rgb_picture_ignores_alpha", kGreen, 128, qRgb(0, 200, 0)},
};

class ConstantAlpha : public testing::TestWithParam<ConstantAlphaCase> {};

TEST_P(ConstantAlpha, BlendsOverWhatIsThere)
{
    const ConstantAlphaCase& c = GetParam();
    CBitmapImage image;
    ASSERT_TRUE(image.LoadFromResource(c.id));
    QImage canvas = Canvas({8, 8}, qRgb(255, 255, 255));
    QPainter painter(&canvas);
    image.DrawImage(painter, 3, 4, c.alpha);
    painter.end();

    const QRgb drawn = canvas.pixel(4, 5);
    EXPECT_NEAR(qRed(drawn), qRed(c.expected), 1);
    EXPECT_NEAR(qGreen(drawn), qGreen(c.expected), 1);
    EXPECT_NEAR(qBlue(drawn), qBlue(c.expected), 1);
    EXPECT_EQ(canvas.pixel(2, 5), qRgb(255, 255, 255)) << "left of the picture";
    EXPECT_EQ(canvas.pixel(4, 3), qRgb(255, 255, 255)) << "above the picture";
}

INSTANTIATE_TEST_SUITE_P(Pictures, ConstantAlpha, testing::ValuesIn(kConstantAlphaCases),
                         [](const auto& info) { return std::string(info.param.name); });

// An 8 x 50 frame bitmap whose every pixel tells where it came from: each of
// the nine cells has its own colour, varying only along the directions the
// nine-grid never stretches (corners in both, edges across, the centre not).
constexpr int kBorder = 2;
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 50;

int CellOf(int position, int size)
{
    return position < kBorder ? 0 : position < size - kBorder ? 1 : 2;
}

QRgb FramePixel(int x, int y)
{
    const int column = CellOf(x, kFrameWidth);
    const int row = CellOf(y, kFrameHeight);
    const int across = column == 1 ? 0 : x;
    const int down = row == 1 ? 0 : y;
    return qRgb(40 * column + 20 * row + 1, 4 * across + 1, 4 * down + 1);
}

CBitmapImage FrameBitmap(const testing_files::TempFolder& folder)
{
    QImage frame(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x)
            frame.setPixel(x, y, FramePixel(x, y));
    const QString path = QString::fromStdString(folder.File("frame.png"));
    EXPECT_TRUE(frame.save(path));
    CBitmapImage image;
    EXPECT_TRUE(image.LoadFromFile(path));
    return image;
}

// Smooth stretching may round a channel of a stretched cell by one.
bool SameColour(QRgb drawn, QRgb expected)
{
    return std::abs(qRed(drawn) - qRed(expected)) <= 1 && std::abs(qGreen(drawn) - qGreen(expected)) <= 1 &&
           std::abs(qBlue(drawn) - qBlue(expected)) <= 1;
}

struct NineGridCase {
    const char* name;
    QSize target;
    // The bitmap column (row) that target column (row) i shows.
    std::function<int(int)> sourceColumn;
    std::function<int(int)> sourceRow;
};

const auto kSame = [](int i) { return i; };

const NineGridCase kNineGridCases[] = {
    {"wide_and_tall_keeps_the_frame", {300, 59},
     [](int x) { return x < 2 ? x : x >= 298 ? x - 292 : 2; },
     [](int y) { return y < 2 ? y : y >= 57 ? y - 9 : 2; }},
    {"three_wide_splits_one_and_two", {3, 59}, kSame, [](int y) { return y < 2 ? y : y >= 57 ? y - 9 : 2; }},
    {"three_high_splits_one_and_two", {300, 3}, [](int x) { return x < 2 ? x : x >= 298 ? x - 292 : 2; }, kSame},
    {"exactly_two_borders_wide_has_no_middle", {4, 50}, [](int x) { return x < 2 ? x : x + 4; }, kSame},
    {"own_size_is_a_copy", {8, 50}, kSame, kSame},
};

class NineGrid : public testing::TestWithParam<NineGridCase> {};

TEST_P(NineGrid, EveryTargetPixelComesFromItsCell)
{
    const NineGridCase& c = GetParam();
    testing_files::TempFolder folder;
    const CBitmapImage frame = FrameBitmap(folder);
    const QPoint at(5, 7);
    const QRgb outside = qRgb(0, 0, 0);
    QImage canvas = Canvas(c.target + QSize(10, 14), outside);
    QPainter painter(&canvas);
    frame.DrawNineGrid(kBorder, painter, QRect(at, c.target));
    painter.end();

    int wrong = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QPoint inTarget = QPoint(x, y) - at;
            const bool inside = QRect(QPoint(0, 0), c.target).contains(inTarget);
            const QRgb expected =
                inside ? FramePixel(c.sourceColumn(inTarget.x()), c.sourceRow(inTarget.y())) : outside;
            if (!SameColour(canvas.pixel(x, y), expected) && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << canvas.pixel(x, y)
                              << ", expected " << expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, NineGrid, testing::ValuesIn(kNineGridCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct StreamCase {
    const char* name;
    int id;
    char flag;
};

const StreamCase kStreamCases[] = {
    {"alpha_bitmap", kStraightAlpha, 1},
    {"rgb_bitmap", kGreen, 0},
};

class StreamRoundTrip : public testing::TestWithParam<StreamCase> {};

TEST_P(StreamRoundTrip, GivesBackTheSamePixelsAndFlag)
{
    const StreamCase& c = GetParam();
    CBitmapImage original;
    ASSERT_TRUE(original.LoadFromResource(c.id));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    ASSERT_TRUE(original.SaveToStream(&stream));
    ASSERT_TRUE(stream.data().startsWith("BM"));
    EXPECT_EQ(stream.data().back(), c.flag);

    CBitmapImage copy;
    ASSERT_TRUE(copy.LoadFromStream(&stream));
    EXPECT_EQ(copy.HasAlpha(), original.HasAlpha());
    EXPECT_EQ(copy.Image().format(), original.Image().format());
    EXPECT_EQ(copy.Image(), original.Image());
}

INSTANTIATE_TEST_SUITE_P(Bitmaps, StreamRoundTrip, testing::ValuesIn(kStreamCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamLoading, UndecodableStreamLeavesTheBitmapNull)
{
    CBitmapImage image;
    ASSERT_TRUE(image.LoadFromResource(kStraightAlpha));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    stream.write("not a picture\1");
    EXPECT_FALSE(image.LoadFromStream(&stream));
    EXPECT_TRUE(image.IsNull());
    EXPECT_FALSE(image.HasAlpha());
}

TEST(StreamLoading, ReadsFromTheStartWhereverTheStreamStands)
{
    CBitmapImage original;
    ASSERT_TRUE(original.LoadFromResource(kOpaqueRed));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    ASSERT_TRUE(original.SaveToStream(&stream));
    ASSERT_TRUE(stream.seek(3));
    CBitmapImage copy;
    ASSERT_TRUE(copy.LoadFromStream(&stream));
    EXPECT_EQ(copy.Image(), original.Image());
}

}  // namespace
