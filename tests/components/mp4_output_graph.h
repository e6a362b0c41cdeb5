// The MP4 output half of a conversion graph, built as the program builds it:
// raw sources -> video encoder -> multiplexer "Input 0", AAC encoder ->
// "Input 1" (or "Input 0" without video) -> File Writer, each encoder and
// the multiplexer configured through IModuleConfig before its output connects.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "components/common/media_format.h"
#include "tests/platform/dshow/graph_harness.h"

namespace mp4_testing {

struct VideoPart {
    CLSID encoder;
    RawVideoFormat format;
    int frames;
    int bitRate;                          // bits per second
    std::map<GUID, int32_t> overrides{};  // parameters set instead of the program's values
    std::string rawFile{};                // frames from this file instead of generated ones
};

struct AudioPart {
    RawAudioFormat format;
    double seconds;
    int rateIndex;
};

RawVideoFormat VideoFormat(int width, int height, int fps = 25);
RawAudioFormat AudioFormat(int sampleRate = 44100, int channels = 2, AVSampleFormat sampleFormat = AV_SAMPLE_FMT_S16);

// Builds the graph writing to `path`; every step must succeed.
struct Mp4Graph {
    Mp4Graph(const std::string& path, const std::optional<VideoPart>& video, const std::optional<AudioPart>& audio);

    // Runs without a clock, returns the events up to the end, then stops.
    std::vector<testing_filters::EventRecord> Run();

    testing_filters::GraphHarness h;
    HRESULT built = E_FAIL;
    ComPtr<IBaseFilter> videoEncoder, audioEncoder;
};

// A filter created by class id, with a pin found by name.
ComPtr<IBaseFilter> Create(REFCLSID clsid);
ComPtr<IPin> NamedPin(IBaseFilter* filter, const char* name);
// SetValue for each entry, then CommitChanges.
HRESULT Configure(IBaseFilter* filter, const std::vector<std::pair<GUID, int32_t>>& values);

}  // namespace mp4_testing
