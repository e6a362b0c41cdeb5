// A filter graph for a test, with the interfaces tests use most and a way
// to wait for the event that ends a run.
#pragma once

#include <string>
#include <vector>

#include "platform/dshow/filter_graph.h"
#include "platform/dshow/graph_pins.h"

namespace testing_filters {

struct GraphHarness {
    GraphHarness();

    // Adds a filter the test made, under `name`; the graph takes a reference.
    IBaseFilter* Add(IBaseFilter* filter, const char* name);
    IPin* Pin(IBaseFilter* filter, PIN_DIRECTION direction, int index = 0);
    std::vector<std::string> FilterNames();
    // Runs without a clock, as conversions do.
    HRESULT RunFree();
    // The codes of events read until one of EC_COMPLETE, EC_ERRORABORT or
    // EC_USERABORT arrives (included), or until nothing came for 10 s.
    std::vector<long> EventsUntilEnd(LONG_PTR* lastParam1 = nullptr);

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ComPtr<IMediaSeeking> seeking;
    ComPtr<IMediaFilter> mediaFilter;

private:
    std::vector<ComPtr<IPin>> m_pins;  // keeps the pins handed out alive
};

}  // namespace testing_filters
