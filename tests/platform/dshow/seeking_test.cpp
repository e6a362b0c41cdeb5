// Duration, position and trimming reach the application through the sinks
// and the pass-through seeking of the filters in between.
#include <gtest/gtest.h>

#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/test_filters.h"

using namespace testing_filters;

TEST(Seeking, DurationAndPositionPassThroughToTheApplication)
{
    NumberedChain c({.count = 40});
    LONGLONG duration = 0;
    ASSERT_EQ(c.h.seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 40 * kFrameTime);

    // The pass-through's own output pin answers for the source too.
    auto passSeeking = ComPtr<IPin>(c.h.Pin(c.pass, PINDIR_OUTPUT)).As<IMediaSeeking>();
    ASSERT_TRUE(passSeeking);
    LONGLONG viaPass = 0;
    EXPECT_EQ(passSeeking->GetDuration(&viaPass), S_OK);
    EXPECT_EQ(viaPass, duration);

    DWORD capabilities = 0;
    ASSERT_EQ(c.h.seeking->GetCapabilities(&capabilities), S_OK);
    EXPECT_TRUE(capabilities & AM_SEEKING_CanGetDuration);
    EXPECT_TRUE(capabilities & AM_SEEKING_CanGetCurrentPos);

    LONGLONG current = -1;
    ASSERT_EQ(c.h.seeking->GetCurrentPosition(&current), S_OK);
    EXPECT_EQ(current, 0) << "nothing played yet";

    ASSERT_EQ(c.h.RunFree(), S_OK);
    c.h.EventCodesUntilEnd();
    ASSERT_EQ(c.h.seeking->GetCurrentPosition(&current), S_OK);
    EXPECT_EQ(current, duration) << "at the end the position is the stop position";
}

TEST(Seeking, CurrentPositionIsTheLatestRenderedSample)
{
    NumberedChain c({.count = 10});
    Gate gate;
    c.sink->HoldSample(5, &gate);
    ASSERT_EQ(c.h.RunFree(), S_OK);
    c.sink->WaitUntilHolding();

    LONGLONG current = 0;
    ASSERT_EQ(c.h.seeking->GetCurrentPosition(&current), S_OK);
    EXPECT_EQ(current, 4 * kFrameTime) << "sample 5 is still being rendered";
    gate.Open();
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
}

TEST(Seeking, SetPositionsTrimsTheStream)
{
    NumberedChain c({.count = 50});
    LONGLONG start = 10 * kFrameTime, stop = 15 * kFrameTime;
    ASSERT_EQ(c.h.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning),
              S_OK);
    LONGLONG readStart = 0, readStop = 0;
    auto sourceSeeking = ComPtr<IPin>(c.h.Pin(c.source, PINDIR_OUTPUT)).As<IMediaSeeking>();
    ASSERT_EQ(sourceSeeking->GetPositions(&readStart, &readStop), S_OK);
    EXPECT_EQ(readStart, start);
    EXPECT_EQ(readStop, stop);

    ASSERT_EQ(c.h.RunFree(), S_OK);
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    EXPECT_EQ(c.sink->Received(), (std::vector<int>{10, 11, 12, 13, 14}));
}

TEST(Seeking, InvalidRangesAreRefused)
{
    NumberedChain c({.count = 5});
    LONGLONG start = 4 * kFrameTime, stop = 2 * kFrameTime;
    EXPECT_EQ(c.h.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning),
              E_INVALIDARG);
    LONGLONG negative = -1;
    EXPECT_EQ(c.h.seeking->SetPositions(&negative, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              E_INVALIDARG);
}
