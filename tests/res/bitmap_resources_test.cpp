// Every bitmap the program cites loads from the resources with the size and
// the kind (32-bit with alpha, or opaque 24-bit) that its users rely on.
#include <gtest/gtest.h>

#include <QImage>

#include "res/program_resources.h"

namespace {

QImage LoadBitmap(int id)
{
    InitProgramResources();
    return QImage(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

struct BitmapCase {
    int id;
    int width;  // 0: the size is free
    int height;
    bool alpha;
};

void PrintTo(const BitmapCase& bitmap, std::ostream* out)
{
    *out << "bitmap " << bitmap.id;
}

class BitmapResource : public testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapResource, LoadsWithItsSizeAndKind)
{
    const BitmapCase& expected = GetParam();
    const QImage image = LoadBitmap(expected.id);
    ASSERT_FALSE(image.isNull());
    if (expected.width != 0) {
        EXPECT_EQ(image.size(), QSize(expected.width, expected.height));
    }
    EXPECT_EQ(image.hasAlphaChannel(), expected.alpha);
    // Alpha stays straight: premultiplying is the loader's business.
    if (expected.alpha) {
        EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    }
}

INSTANTIATE_TEST_SUITE_P(Cited, BitmapResource,
                         testing::Values(
                             // Device tabs.
                             BitmapCase{312, 32, 32, true}, BitmapCase{353, 32, 32, true},
                             BitmapCase{356, 32, 32, true}, BitmapCase{387, 32, 32, true},
                             BitmapCase{352, 32, 32, true}, BitmapCase{399, 32, 32, true},
                             // Tab strip: panel, highlight, arrows.
                             BitmapCase{310, 64, 768, true}, BitmapCase{311, 139, 72, true},
                             BitmapCase{332, 32, 32, true}, BitmapCase{333, 32, 32, true},
                             // Main view and status panel.
                             BitmapCase{327, 0, 0, false}, BitmapCase{314, 0, 0, true},
                             BitmapCase{330, 0, 0, false}, BitmapCase{331, 0, 0, true},
                             BitmapCase{329, 0, 0, true}, BitmapCase{336, 0, 0, true},
                             BitmapCase{337, 0, 0, true}, BitmapCase{338, 0, 0, true},
                             BitmapCase{339, 0, 0, true},
                             // Media list.
                             BitmapCase{343, 8, 50, false}, BitmapCase{344, 8, 50, false},
                             BitmapCase{365, 24, 24, true}, BitmapCase{366, 24, 24, true},
                             BitmapCase{341, 48, 48, true}, BitmapCase{342, 48, 48, true},
                             BitmapCase{351, 48, 48, true},
                             // Page and dialog buttons, splash.
                             BitmapCase{372, 24, 24, true}, BitmapCase{374, 24, 24, true},
                             BitmapCase{388, 0, 0, true}, BitmapCase{389, 0, 0, true},
                             BitmapCase{390, 0, 0, true}, BitmapCase{346, 0, 0, false}));

TEST(BitmapResources, StatusPanelPartsShareThePanelHeight)
{
    // The caps and the bar are drawn from the panel's top to its bottom, and
    // the abort button is centred inside it.
    const int height = LoadBitmap(330).height();
    for (const int id : {329, 331, 336, 337})
        EXPECT_EQ(LoadBitmap(id).height(), height) << "bitmap " << id;
    for (const int id : {338, 339})
        EXPECT_LT(LoadBitmap(id).height(), height) << "bitmap " << id;
    EXPECT_EQ(LoadBitmap(338).size(), LoadBitmap(339).size());
}

TEST(BitmapResources, BarEndsFitTheirNineGridBorder)
{
    // The bar is stretched with a 20-pixel border on each side.
    for (const int id : {336, 337})
        EXPECT_GE(LoadBitmap(id).width(), 40) << "bitmap " << id;
}

TEST(BitmapResources, TransferPictureLeavesRoomForItsCaption)
{
    // The 80 x 80 button draws the picture 8 pixels above centre and the
    // caption from (80 + picture height) / 2 - 6 down to its bottom.
    const QImage picture = LoadBitmap(314);
    EXPECT_LE(picture.width(), 80);
    EXPECT_GE((80 - picture.height()) / 2 - 8, 0);
    EXPECT_GE(80 - ((80 + picture.height()) / 2 - 6), 16);
}

bool HasOpaquePixel(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                return true;
    return false;
}

TEST(BitmapResources, DevicePicturesStandOnTransparency)
{
    for (const int id : {312, 352, 353, 356, 387, 399, 341, 342, 351}) {
        const QImage image = LoadBitmap(id);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "bitmap " << id;
        EXPECT_TRUE(HasOpaquePixel(image)) << "bitmap " << id;
    }
}

TEST(BitmapResources, UnknownIdHasNoBitmap)
{
    EXPECT_TRUE(LoadBitmap(313).isNull());
}

TEST(BitmapResources, ProgramIconIsSquareWithAlpha)
{
    InitProgramResources();
    const QImage icon(QStringLiteral(":/icons/orvex-tavimo.png"));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.width(), icon.height());
    EXPECT_GE(icon.width(), 128);
    EXPECT_TRUE(icon.hasAlphaChannel());
}

}  // namespace
