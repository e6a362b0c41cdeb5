// Graphs for the writer tests: raw sources feeding a writer made by class
// id, run without a clock until the graph ends.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "components/common/media_format.h"
#include "tests/platform/dshow/graph_harness.h"

namespace writer_tests {

struct WriterGraph {
    // Creates the writer (after RegisterComponents) and names its file.
    WriterGraph(const CLSID& writer, const std::string& path);

    // Configures an ASF writer with the WMV profile at that size.
    HRESULT UseWmvProfile(int width, int height);
    // Connects a new raw source to the writer's input pin `pinIndex`.
    HRESULT AddVideo(const RawVideoFormat& format, int frames, int pinIndex = 0);
    HRESULT AddAudio(const RawAudioFormat& format, double seconds, int pinIndex = 0);
    // Runs and returns the events up to the end (EC_COMPLETE or an abort),
    // then stops the graph.
    std::vector<testing_filters::EventRecord> Run();

    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> writer;
    std::vector<ComPtr<IBaseFilter>> sources;
};

// The codes of `events`.
std::vector<long> Codes(const std::vector<testing_filters::EventRecord>& events);

// The template of the WMV output's profile, with `width` and `height` in it.
std::string WmvProfileXml(const std::string& width, const std::string& height);

}  // namespace writer_tests
