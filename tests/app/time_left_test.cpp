#include "app/time_left.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "tests/app/qstring_printer.h"

namespace {

struct TimeLeftCase {
    const char* name;
    std::vector<double> itemStarts;  // each start ends the item before it
    double now;
    double fraction;
    int waiting;
    std::optional<double> itemLeft;
    std::optional<double> queueLeft;
};

class TimeLeftTest : public testing::TestWithParam<TimeLeftCase> {};

TEST_P(TimeLeftTest, GuessesFromThePaceSoFar)
{
    const TimeLeftCase& c = GetParam();
    CTimeLeft times;
    for (double start : c.itemStarts)
        times.StartItem(start);
    times.Sample(c.now, c.fraction);
    EXPECT_EQ(times.ItemLeft(), c.itemLeft);
    EXPECT_EQ(times.QueueLeft(c.waiting), c.queueLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeLeftTest,
    testing::Values(TimeLeftCase{"UnknownInTheFirstSecond", {0}, 0.5, 0.5, 1, std::nullopt, std::nullopt},
                    TimeLeftCase{"UnknownBelowOnePercent", {0}, 30, 0.005, 1, std::nullopt, std::nullopt},
                    TimeLeftCase{"WaitingItemsTakeAsLongAsTheRunningOne", {0}, 10, 0.5, 2, 10.0, 50.0},
                    TimeLeftCase{"AloneTheQueueIsTheItem", {0}, 10, 0.25, 0, 30.0, 30.0},
                    TimeLeftCase{"EndedItemsSetThePaceOfWaitingOnes", {0, 30, 50}, 60, 0.5, 2, 10.0, 60.0},
                    TimeLeftCase{"DoneLeavesNothing", {0}, 5, 1.0, 0, 0.0, 0.0},
                    TimeLeftCase{"BeyondDoneCountsAsDone", {0}, 5, 1.5, 0, 0.0, 0.0},
                    TimeLeftCase{"ElapsedCountsFromTheItemsStart", {100}, 110, 0.5, 0, 10.0, 10.0}),
    [](const testing::TestParamInfo<TimeLeftCase>& info) { return std::string(info.param.name); });

TEST(TimeLeft, ResetForgetsTheItemsThatRan)
{
    CTimeLeft times;
    times.StartItem(0);
    times.StartItem(100);
    times.Reset();
    EXPECT_FALSE(times.IsRunning());
    times.StartItem(200);
    times.Sample(210, 0.5);
    EXPECT_EQ(times.QueueLeft(1), 30.0);
}

TEST(TimeLeft, ElapsedFollowsTheSamplesEvenWhenTheFractionStands)
{
    CTimeLeft times;
    times.StartItem(3);
    times.Sample(4, 0.2);
    EXPECT_EQ(times.Elapsed(), 1.0);
    times.Sample(9, 0.2);
    EXPECT_EQ(times.Elapsed(), 6.0);
}

struct DurationCase {
    double seconds;
    const char* text;
};

class FormatDurationTest : public testing::TestWithParam<DurationCase> {};

TEST_P(FormatDurationTest, MinutesAndSecondsWithHoursWhenThereAreAny)
{
    EXPECT_EQ(FormatDuration(GetParam().seconds), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatDurationTest,
                         testing::Values(DurationCase{0, "0:00"}, DurationCase{7.4, "0:07"}, DurationCase{59.6, "1:00"},
                                         DurationCase{725, "12:05"}, DurationCase{3723, "1:02:03"},
                                         DurationCase{36000, "10:00:00"}, DurationCase{-3, "0:00"}));

}  // namespace
