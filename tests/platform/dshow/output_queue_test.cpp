// Delivery through an output queue: same samples, same order, another thread.
#include <gtest/gtest.h>

#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/test_filters.h"

using namespace testing_filters;

namespace {

// source -> converter with a queued output -> sink.
struct QueuedChain {
    explicit QueuedChain(int count)
        : source(new CNumberedSource({.count = count})),
          converter(new CConverter(CLSID_ConverterAB, kSubtypeA, kSubtypeB)),
          sink(new CTestSink(kSubtypeB)),
          refs{source, converter, sink}
    {
        converter->Output()->UseDeliveryQueue(4);
        EXPECT_EQ(h.AddChain({{source, "Source"}, {converter, "Converter"}, {sink, "Sink"}}), S_OK);
    }

    GraphHarness h;
    CNumberedSource* source;
    CConverter* converter;
    CTestSink* sink;
    ComPtr<IBaseFilter> refs[3];
};

}  // namespace

TEST(OutputQueue, DeliversEverySampleInOrderOnItsOwnThread)
{
    QueuedChain c(300);
    ASSERT_EQ(c.h.RunFree(), S_OK);
    EXPECT_EQ(c.h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    const auto received = c.sink->Received();
    ASSERT_EQ(received.size(), 300u);
    for (int n = 0; n < 300; ++n) ASSERT_EQ(received[n], n);
    EXPECT_NE(c.sink->RenderingThread(), c.source->Stream()->StreamingThread());
    EXPECT_EQ(c.h.control->Stop(), S_OK);
}

TEST(OutputQueue, StopsInTheMiddleAndRunsAgain)
{
    QueuedChain c(-1);
    for (int run = 0; run < 3; ++run) {
        ASSERT_EQ(c.h.RunFree(), S_OK);
        ASSERT_TRUE(c.sink->WaitForSamples(c.sink->ReceivedCount() + 50));
        ASSERT_EQ(c.h.control->Stop(), S_OK);
        EXPECT_EQ(CNumberedSource::s_liveThreads.load(), 0);
    }
}
