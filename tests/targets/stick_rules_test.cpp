#include "targets/stick_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kMB = 1000 * 1000;
constexpr qint64 kGB = 1000 * kMB;

TEST(StickRules, EstimatesTheBitRatesOverTheDurationWithAMargin)
{
    const struct {
        int videoKbps, audioKbps;
        double seconds;
        qint64 bytes;
    } cases[] = {
        {1000, 128, 60, 8'460'000 + 846'000 + kMB},
        {0, 192, 100, 2'400'000 + 240'000 + kMB},  // audio only
        {0, 0, 60, 960'000 + 96'000 + kMB},        // the encoder's default audio rate
        {500, 96, 0, kMB},                         // nothing but the margin
        {2000, 128, 2 * 3600, 1'915'200'000 + 191'520'000 + kMB},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EstimateOutputBytes(c.videoKbps, c.audioKbps, c.seconds), c.bytes)
            << c.videoKbps << " + " << c.audioKbps << " kbit/s for " << c.seconds << " s";
}

TEST(StickRules, RefusesWhatTheDriveCannotHold)
{
    const struct {
        const char* what;
        qint64 estimate;
        DriveSpace space;
        StickVerdict verdict;
    } cases[] = {
        {"fits a 100 MB FAT32 stick", 50 * kMB, {100 * kMB, true}, StickVerdict::Fits},
        {"exactly the free space", 100 * kMB, {100 * kMB, true}, StickVerdict::Fits},
        {"one byte too many", 100 * kMB + 1, {100 * kMB, true}, StickVerdict::TooLittleSpace},
        {"too big for a 100 MB exFAT stick", 150 * kMB, {100 * kMB, false}, StickVerdict::TooLittleSpace},
        {"the largest FAT file", kFatFileLimit, {64 * kGB, true}, StickVerdict::Fits},
        {"past the FAT file limit", kFatFileLimit + 1, {64 * kGB, true}, StickVerdict::TooLargeForFat},
        {"past the limit and the space", 5 * kGB, {1 * kGB, true}, StickVerdict::TooLargeForFat},
        {"past the FAT limit on exFAT", 5 * kGB, {64 * kGB, false}, StickVerdict::Fits},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JudgeOutput(c.estimate, c.space), c.verdict) << c.what;
}

TEST(StickRules, TheFatLimitIsFourGibibytesLessOne)
{
    EXPECT_EQ(kFatFileLimit, 4'294'967'295);
}

}  // namespace
