// Running graphs: completion, errors, stopping, state queries and clocks.
#include <gtest/gtest.h>

#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/test_filters.h"

using namespace testing_filters;

namespace {

std::vector<int> Numbers(int from, int to)
{
    std::vector<int> numbers;
    for (int n = from; n < to; ++n) numbers.push_back(n);
    return numbers;
}

}  // namespace

TEST(Streaming, WithoutAClockEverySampleArrivesInOrderThenComplete)
{
    NumberedChain c({.count = 200});
    ASSERT_EQ(c.h.RunFree(), S_OK);
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    EXPECT_EQ(c.sink->Received(), Numbers(0, 200));
    EXPECT_EQ(c.pass->passed.load(), 200);

    long code = 0;
    EXPECT_EQ(c.h.events->WaitForCompletion(0, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    ASSERT_EQ(c.h.control->Stop(), S_OK);
    EXPECT_EQ(CNumberedSource::s_liveThreads.load(), 0);
}

TEST(Streaming, CompleteWaitsForEverySink)
{
    // Two independent chains in one graph: one EC_COMPLETE, after both ended.
    GraphHarness h;
    auto* shortSource = new CNumberedSource({.count = 3});
    auto* longSource = new CNumberedSource({.count = 50});
    auto* sink1 = new CTestSink();
    auto* sink2 = new CTestSink();
    ComPtr<IBaseFilter> refs[] = {shortSource, longSource, sink1, sink2};
    h.Add(shortSource, "Short");
    h.Add(longSource, "Long");
    h.Add(sink1, "Sink 1");
    h.Add(sink2, "Sink 2");
    ASSERT_EQ(h.graph->ConnectDirect(h.Pin(shortSource, PINDIR_OUTPUT), h.Pin(sink1, PINDIR_INPUT), nullptr), S_OK);
    ASSERT_EQ(h.graph->ConnectDirect(h.Pin(longSource, PINDIR_OUTPUT), h.Pin(sink2, PINDIR_INPUT), nullptr), S_OK);

    ASSERT_EQ(h.RunFree(), S_OK);
    EXPECT_EQ(h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    EXPECT_EQ(sink1->ReceivedCount(), 3);
    EXPECT_EQ(sink2->ReceivedCount(), 50);
    ASSERT_EQ(h.control->Stop(), S_OK);
    EXPECT_TRUE(h.RemainingEvents().empty()) << "exactly one EC_COMPLETE";
}

TEST(Streaming, SourceFailureEndsTheRunWithErrorAbort)
{
    NumberedChain c({.count = 100, .failAt = 7});
    ASSERT_EQ(c.h.RunFree(), S_OK);
    EXPECT_EQ(c.h.EventsUntilEnd(), (std::vector<EventRecord>{{EC_ERRORABORT, kSourceFailure}}));
    EXPECT_EQ(c.sink->Received(), Numbers(0, 7));
    // The sink still sees the end of stream, but a failed run never
    // completes; once stopped, every notice has been given.
    EXPECT_EQ(c.h.control->Stop(), S_OK);
    EXPECT_TRUE(c.h.RemainingEvents().empty());
}

// Streams that reach no sink could never complete: the graph refuses to
// start instead of running for ever.
TEST(Streaming, AGraphWithAStreamThatReachesNoSinkRefusesToStart)
{
    GraphHarness h;
    auto* source = new CNumberedSource({.count = 5});
    auto* pass = new CPassThrough();
    ComPtr<IBaseFilter> refs[] = {source, pass};
    ASSERT_EQ(h.AddChain({{source, "Source"}, {pass, "Pass"}}), S_OK);
    EXPECT_EQ(h.control->Pause(), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(h.control->Run(), VFW_E_NOT_CONNECTED);
    OAFilterState state = State_Running;
    EXPECT_EQ(h.control->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
}

// A run's unread events never reach the next run of the same graph.
TEST(Streaming, EventsOfAnEarlierRunAreGoneWhenTheGraphRunsAgain)
{
    NumberedChain c({.count = 5});
    ASSERT_EQ(c.h.RunFree(), S_OK);
    long code = 0;
    ASSERT_EQ(c.h.events->WaitForCompletion(5000, &code), S_OK);
    ASSERT_EQ(c.h.control->Stop(), S_OK);  // EC_COMPLETE left unread
    ASSERT_EQ(c.h.RunFree(), S_OK);
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    ASSERT_EQ(c.h.control->Stop(), S_OK);
    EXPECT_TRUE(c.h.RemainingEvents().empty()) << "only this run's EC_COMPLETE";
}

// Stop returns only once the streaming threads are done. The sink holds a
// sample until the stop has reached it, and a little longer, so a Stop that
// did not wait would return while the source's thread is still inside.
TEST(Streaming, StopInTheMiddleJoinsEveryStreamingThread)
{
    NumberedChain c({.count = -1});
    Gate gate;
    c.sink->HoldSample(100, &gate);
    ASSERT_EQ(c.h.RunFree(), S_OK);
    c.sink->WaitUntilHolding();
    EXPECT_EQ(CNumberedSource::s_liveThreads.load(), 1);

    std::thread releaser([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (c.sink->State() != State_Stopped && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate.Open();
    });
    const HRESULT stopped = c.h.control->Stop();
    const int liveWhenStopReturned = CNumberedSource::s_liveThreads.load();
    const std::vector<int> receivedWhenStopReturned = c.sink->Received();
    releaser.join();
    EXPECT_EQ(stopped, S_OK);
    EXPECT_EQ(liveWhenStopReturned, 0) << "the source's thread ended before Stop returned";
    EXPECT_EQ(receivedWhenStopReturned, Numbers(0, 101)) << "the held sample was done before Stop returned";
    EXPECT_EQ(c.sink->Received(), receivedWhenStopReturned) << "nothing arrives after Stop returned";
    OAFilterState state;
    EXPECT_EQ(c.h.control->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);

    // The same graph runs again from the start.
    ASSERT_EQ(c.h.control->Run(), S_OK);
    ASSERT_TRUE(c.sink->WaitForSamples(111));
    ASSERT_EQ(c.h.control->Stop(), S_OK);
    const std::vector<int> again = c.sink->Received();
    EXPECT_EQ(std::vector<int>(again.begin() + 101, again.begin() + 111), Numbers(0, 10));
}

TEST(Streaming, StopFreesAThreadBlockedInsideASink)
{
    NumberedChain c({.count = -1});
    Gate gate;
    c.sink->HoldSample(0, &gate);
    ASSERT_EQ(c.h.RunFree(), S_OK);

    // The sink holds the streaming thread; a state query must still answer.
    OAFilterState state;
    EXPECT_EQ(c.h.control->GetState(10, &state), S_OK);
    EXPECT_EQ(state, State_Running);

    std::thread stopper([&] { c.h.control->Stop(); });
    gate.Open();  // what a real sink does when its work ends
    stopper.join();
    EXPECT_EQ(CNumberedSource::s_liveThreads.load(), 0);
}

TEST(Streaming, PausedGraphIsIntermediateUntilTheSinkHasASample)
{
    Gate gate;
    NumberedChain c({.count = 5, .holdFirst = &gate});
    c.h.mediaFilter->SetSyncSource(nullptr);
    ASSERT_EQ(c.h.control->Pause(), S_OK);

    OAFilterState state;
    EXPECT_EQ(c.h.control->GetState(10, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(state, State_Paused);

    gate.Open();
    EXPECT_EQ(c.h.control->GetState(INFINITE, &state), S_OK);
    EXPECT_EQ(c.sink->ReceivedCount(), 0) << "a paused sink holds its first sample";
    ASSERT_EQ(c.h.control->Run(), S_OK);
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    EXPECT_EQ(c.sink->Received(), Numbers(0, 5));
}

TEST(Streaming, ReleasingARunningGraphStopsItFirst)
{
    {
        NumberedChain c({.count = -1});
        ASSERT_EQ(c.h.RunFree(), S_OK);
        ASSERT_TRUE(c.sink->WaitForSamples(20));
    }
    EXPECT_EQ(CNumberedSource::s_liveThreads.load(), 0);
}

TEST(Streaming, WithAClockTheSinkWaitsForEachSamplesTime)
{
    NumberedChain c({.count = 3});
    ComPtr<CManualClock> clock(new CManualClock());
    c.h.mediaFilter->SetSyncSource(clock.Get());
    ASSERT_EQ(c.h.mediaFilter->Run(0), S_OK);

    ASSERT_TRUE(c.sink->WaitForSamples(1));  // sample 0 is due at time 0
    clock->now = kFrameTime;
    ASSERT_TRUE(c.sink->WaitForSamples(2));
    EXPECT_EQ(c.sink->ReceivedCount(), 2) << "sample 2 is not due before 2 frames";
    clock->now = 3 * kFrameTime;
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    EXPECT_EQ(c.sink->Received(), Numbers(0, 3));
    ASSERT_EQ(c.h.control->Stop(), S_OK);
}

// A paused graph keeps its place in stream time: running again goes on from
// where it paused, neither from zero nor ahead by the time spent paused, and
// the sample that was waiting for its time when the pause came still plays.
TEST(Streaming, RunAfterPauseGoesOnFromThePausedStreamTime)
{
    NumberedChain c({.count = 30});
    ComPtr<CManualClock> clock(new CManualClock());
    clock->now = UNITS;
    c.h.mediaFilter->SetSyncSource(clock.Get());
    ASSERT_EQ(c.h.control->Run(), S_OK);
    const REFERENCE_TIME firstStart = c.sink->StartTime();

    clock->now = firstStart + 10 * kFrameTime;
    ASSERT_TRUE(c.sink->WaitForSamples(11));
    ASSERT_TRUE(clock->WaitForQueryFromAnotherThread()) << "sample 11 waits for its time";
    ASSERT_EQ(c.h.control->Pause(), S_OK);
    // Not a deadline: time for the streaming thread to see the pause before
    // the graph runs again, so a renderer that drops the waiting sample has.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Paused, the renderer holds that sample: the graph is ready.
    OAFilterState state;
    EXPECT_EQ(c.h.control->GetState(0, &state), S_OK) << "sample 11 is held, not dropped";
    EXPECT_EQ(state, State_Paused);

    clock->now = clock->now + 100 * kFrameTime;  // time spent paused
    const REFERENCE_TIME resumedAt = clock->now;
    ASSERT_EQ(c.h.control->Run(), S_OK);
    // The graph may start a little after the call, never before it.
    const REFERENCE_TIME streamTime = resumedAt - c.sink->StartTime();
    EXPECT_LE(streamTime, 10 * kFrameTime) << "stream time at the resume, in 100 ns units";
    EXPECT_GT(streamTime, 10 * kFrameTime - kFrameTime / 2) << "stream time at the resume, in 100 ns units";

    // Two and a half frames later samples 11 and 12 are due, 13 is not.
    clock->now = resumedAt + 5 * kFrameTime / 2;
    ASSERT_TRUE(c.sink->WaitForSamples(13))
        << "received after the resume: " << testing::PrintToString(c.sink->Received());
    EXPECT_EQ(c.sink->Received(), Numbers(0, 13));

    clock->now = resumedAt + 30 * kFrameTime;
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    EXPECT_EQ(c.sink->Received(), Numbers(0, 30));
    ASSERT_EQ(c.h.control->Stop(), S_OK);
}
