// The handlers' small decisions: the scaler's target size, the AAC rate
// index and the WMV profile text.
#include <gtest/gtest.h>

#include <QFile>

#include "components/write/wm_profile.h"
#include "targets/conversion_filters.h"
#include "targets/mpeg4_target_handler.h"
#include "targets/wmv_target_handler.h"

namespace {

TEST(TargetRulesTest, FittingWithinALimitKeepsThePictureShape)
{
    struct Row {
        QSize source, limit;
        std::optional<QSize> expected;
    };
    const Row rows[] = {
        {{640, 480}, {1024, 576}, std::nullopt},
        {{1280, 720}, {1024, 576}, QSize(1024, 576)},
        {{1920, 800}, {1024, 576}, QSize(1024, 426)},
        {{1024, 400}, {1024, 576}, std::nullopt},
        {{1025, 400}, {1024, 576}, QSize(1024, 400)},
        {{768, 576}, {1024, 576}, std::nullopt},
        {{720, 1280}, {1024, 576}, QSize(324, 576)},
        {{1920, 1080}, {1920, 1080}, std::nullopt},
        {{3840, 2160}, {1920, 1080}, QSize(1920, 1080)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.source.width()) + "x" + std::to_string(row.source.height()));
        EXPECT_EQ(SizeWithin(row.source, row.limit), row.expected);
    }
}

TEST(TargetRulesTest, DisplaySizeKeepsTheHeightAndSquaresThePixels)
{
    struct Row {
        QSize frame, aspect, expected;
    };
    const Row rows[] = {
        {{720, 576}, {16, 9}, {1024, 576}}, {{720, 576}, {4, 3}, {768, 576}},
        {{720, 480}, {16, 9}, {854, 480}},  {{720, 480}, {4, 3}, {640, 480}},
        {{1440, 1080}, {16, 9}, {1920, 1080}}, {{640, 360}, {16, 9}, {640, 360}},
        {{640, 360}, {0, 0}, {640, 360}},   {{853, 480}, {16, 9}, {853, 480}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.frame.width()) + "x" + std::to_string(row.frame.height()));
        EXPECT_EQ(DisplaySize(row.frame, row.aspect), row.expected);
    }
}

TEST(TargetRulesTest, OnlyExactFullHdAsksForTheSharperScaler)
{
    EXPECT_TRUE(IsFullHdSize({1920, 1080}));
    EXPECT_FALSE(IsFullHdSize({1920, 1088}));
    EXPECT_FALSE(IsFullHdSize({1080, 1920}));
    EXPECT_FALSE(IsFullHdSize({1024, 576}));
}

TEST(TargetRulesTest, AacRateBecomesTheIndexOfTheFirstRateNotBelowIt)
{
    const std::pair<int, int> rows[] = {{128, 18}, {100, 17}, {112, 17}, {512, 26}, {600, 27},
                                        {0, 0},    {6, 0},    {7, 1},    {-5, 0},   {513, 27}};
    for (const auto& [rate, index] : rows)
        EXPECT_EQ(AacBitRateIndex(rate), index) << rate << " kbit/s";
}

QString Template()
{
    QFile resource(QStringLiteral(":/wmv_profile.xml"));
    EXPECT_TRUE(resource.open(QIODevice::ReadOnly));
    return QString::fromLatin1(resource.readAll());
}

TEST(TargetRulesTest, WmvProfileTextPutsTheSizeInPlaceOfThePlaceholders)
{
    const QString text = WmvProfileText(640, 480);
    EXPECT_FALSE(text.contains(QLatin1String("%width%")));
    EXPECT_FALSE(text.contains(QLatin1String("%height%")));
    QString expected = Template();
    ASSERT_EQ(expected.count(QLatin1String("%width%")), 3);
    ASSERT_EQ(expected.count(QLatin1String("%height%")), 3);
    expected.replace(QLatin1String("%width%"), QLatin1String("640"));
    expected.replace(QLatin1String("%height%"), QLatin1String("480"));
    EXPECT_EQ(text, expected);  // nothing else changed, carriage returns included

    WmProfileSettings settings;
    ASSERT_EQ(ParseWmProfile(text.toUtf8().constData(), &settings), S_OK);
    ASSERT_TRUE(settings.video);
    EXPECT_EQ(settings.video->width, 640);
    EXPECT_EQ(settings.video->height, 480);
    ASSERT_TRUE(settings.audio);
    EXPECT_EQ(settings.audio->sampleRate, 44100);
}

}  // namespace
