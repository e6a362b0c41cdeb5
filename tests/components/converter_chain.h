// A raw source -> component -> collecting sink graph for the converter
// tests, made through CoCreateInstance as the program makes its filters.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "components/common/module_config.h"
#include "tests/platform/dshow/graph_harness.h"
#include "tests/support/raw_media_filters.h"

namespace converter_testing {

// The registered component of that class id, as an IBaseFilter.
ComPtr<IBaseFilter> MakeComponent(REFCLSID clsid);

// Sets each parameter as a VT_UI4 holding the given bits, then commits.
HRESULT Configure(IBaseFilter* filter, const std::vector<std::pair<GUID, uint32_t>>& values);

// The name of the `index`-th pin in EnumPins order, and its direction.
std::pair<std::string, PIN_DIRECTION> PinNameAt(IBaseFilter* filter, int index);

struct ConverterChain {
    ConverterChain(IBaseFilter* sourceFilter, IBaseFilter* componentFilter);

    // Connects source -> component -> sink directly, with no filters between.
    HRESULT Connect();
    // Runs without a clock until the end; the event codes seen.
    std::vector<long> Run();
    std::vector<testing_media::ReceivedSample> Samples() { return sink->Samples(); }

    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> component;
    testing_media::CCollectingSink* sink;
    ComPtr<IBaseFilter> sinkRef;
};

}  // namespace converter_testing
