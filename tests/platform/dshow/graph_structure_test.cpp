// Membership, naming and direct connections of the filter graph.
#include <gtest/gtest.h>

#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/test_filters.h"

using namespace testing_filters;

TEST(FilterGraph, NamesAreUniqueAndEnumerationIsNewestFirst)
{
    GraphHarness h;
    ComPtr<IBaseFilter> a(new CPassThrough()), b(new CPassThrough()), c(new CTestSink());
    EXPECT_EQ(h.graph->AddFilter(a.Get(), "Same"), S_OK);
    EXPECT_EQ(h.graph->AddFilter(b.Get(), "Same"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(h.graph->AddFilter(c.Get(), nullptr), S_OK);
    EXPECT_EQ(h.graph->AddFilter(a.Get(), "Again"), VFW_E_DUPLICATE_NAME) << "a filter joins a graph once";

    EXPECT_EQ(h.FilterNames(), (std::vector<std::string>{"Filter", "Same 0001", "Same"}));

    ComPtr<IBaseFilter> found;
    ASSERT_EQ(h.graph->FindFilterByName("Same 0001", found.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(found.Get(), b.Get());
    EXPECT_EQ(h.graph->FindFilterByName("Missing", found.ReleaseAndGetAddressOf()), VFW_E_NOT_FOUND);
}

TEST(FilterGraph, RemoveFilterBreaksItsConnectionsAndLeavesTheGraph)
{
    GraphHarness h;
    auto* source = new CNumberedSource();
    auto* sink = new CTestSink();
    ComPtr<IBaseFilter> sourceRef(source), sinkRef(sink);
    h.Add(source, "Source");
    h.Add(sink, "Sink");
    IPin* out = h.Pin(source, PINDIR_OUTPUT);
    IPin* in = h.Pin(sink, PINDIR_INPUT);
    ASSERT_EQ(h.graph->ConnectDirect(out, in, nullptr), S_OK);

    ASSERT_EQ(h.graph->RemoveFilter(sink), S_OK);
    EXPECT_FALSE(IsPinConnected(out));
    EXPECT_FALSE(IsPinConnected(in));
    FILTER_INFO info{};
    sink->QueryFilterInfo(&info);
    EXPECT_EQ(info.pGraph, nullptr);
    EXPECT_EQ(h.FilterNames(), std::vector<std::string>{"Source"});
    EXPECT_EQ(h.graph->RemoveFilter(sink), E_FAIL);
}

TEST(FilterGraph, ConnectDirectRefusesWhatCannotWork)
{
    GraphHarness h;
    auto* source = new CNumberedSource();
    auto* sinkB = new CTestSink(kSubtypeB);
    auto* outsider = new CTestSink();
    ComPtr<IBaseFilter> refs[] = {source, sinkB, outsider};
    h.Add(source, "Source");
    h.Add(sinkB, "Sink");
    IPin* out = h.Pin(source, PINDIR_OUTPUT);
    IPin* in = h.Pin(sinkB, PINDIR_INPUT);

    EXPECT_EQ(h.graph->ConnectDirect(in, out, nullptr), VFW_E_INVALID_DIRECTION);
    EXPECT_EQ(h.graph->ConnectDirect(out, h.Pin(outsider, PINDIR_INPUT), nullptr), VFW_E_NOT_IN_GRAPH);
    EXPECT_TRUE(FAILED(h.graph->ConnectDirect(out, in, nullptr))) << "sub type A cannot reach a B-only sink";
    EXPECT_FALSE(IsPinConnected(out));
    EXPECT_FALSE(IsPinConnected(in));
}

TEST(FilterGraph, ConnectionMediaTypeIsTheAgreedType)
{
    GraphHarness h;
    auto* source = new CNumberedSource();
    auto* sink = new CTestSink();
    ComPtr<IBaseFilter> refs[] = {source, sink};
    h.Add(source, "Source");
    h.Add(sink, "Sink");
    IPin* out = h.Pin(source, PINDIR_OUTPUT);
    IPin* in = h.Pin(sink, PINDIR_INPUT);
    ASSERT_EQ(h.graph->ConnectDirect(out, in, nullptr), S_OK);
    EXPECT_EQ(h.graph->ConnectDirect(out, in, nullptr), VFW_E_ALREADY_CONNECTED);

    AM_MEDIA_TYPE agreed{};
    ASSERT_EQ(in->ConnectionMediaType(&agreed), S_OK);
    EXPECT_EQ(agreed.subtype, kSubtypeA);
    FreeMediaType(agreed);
    ComPtr<IPin> peer;
    ASSERT_EQ(in->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), out);
}
