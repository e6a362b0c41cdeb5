// A filter graph for a test, made the way the program makes one, with the
// interfaces tests use most and ways to read the events of a run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/dshow/filter_graph.h"
#include "platform/dshow/graph_pins.h"

namespace testing_filters {

// An event's code and first parameter.
using EventRecord = std::pair<long, LONG_PTR>;

struct GraphHarness {
    // CoCreateInstance(CLSID_FilterGraph) after RegisterPlatformFilters.
    GraphHarness();

    // Adds a filter the test made, under `name`; the graph takes a reference.
    IBaseFilter* Add(IBaseFilter* filter, const char* name);
    IPin* Pin(IBaseFilter* filter, PIN_DIRECTION direction, int index = 0);
    // Adds the filters and connects each one's first output to the next
    // one's first input, directly or through registered filters.
    HRESULT AddChain(const std::vector<std::pair<IBaseFilter*, const char*>>& filters);
    std::vector<std::string> FilterNames();
    // Runs without a clock, as conversions do.
    HRESULT RunFree();
    // Events read until one of EC_COMPLETE, EC_ERRORABORT or EC_USERABORT
    // arrives (included); the time-out only keeps a broken filter from
    // hanging the test run.
    std::vector<EventRecord> EventsUntilEnd();
    std::vector<long> EventCodesUntilEnd();
    // The events still queued, without waiting; call after Stop, when no
    // thread can post any more.
    std::vector<EventRecord> RemainingEvents();

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ComPtr<IMediaSeeking> seeking;
    ComPtr<IMediaFilter> mediaFilter;

private:
    std::vector<EventRecord> ReadEvents(long timeoutMs, bool untilEnd);

    std::vector<ComPtr<IPin>> m_pins;  // keeps the pins handed out alive
};

class CNumberedSource;
class CPassThrough;
class CTestSink;
struct SourceSettings;

// numbered source -> pass-through -> sink, in a graph of its own.
struct NumberedChain {
    explicit NumberedChain(const SourceSettings& settings);

    GraphHarness h;
    CNumberedSource* source;
    CPassThrough* pass;
    CTestSink* sink;
    ComPtr<IBaseFilter> refs[3];
};

// The only pin of `filter` in `direction`; empty if there is not exactly one.
ComPtr<IPin> OnlyPin(IBaseFilter* filter, PIN_DIRECTION direction);

}  // namespace testing_filters
