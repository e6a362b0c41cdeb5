#include "tests/platform/dshow/graph_harness.h"

#include "platform/dshow/platform_filters.h"
#include "tests/platform/dshow/test_filters.h"

namespace testing_filters {

GraphHarness::GraphHarness()
{
    RegisterPlatformFilters();
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(graph.ReleaseAndGetAddressOf()));
    if (!graph) return;
    graph.As(&control);
    graph.As(&events);
    graph.As(&seeking);
    graph.As(&mediaFilter);
}

IBaseFilter* GraphHarness::Add(IBaseFilter* filter, const char* name)
{
    graph->AddFilter(filter, name);
    return filter;
}

IPin* GraphHarness::Pin(IBaseFilter* filter, PIN_DIRECTION direction, int index)
{
    auto pins = PinsOf(filter, direction);
    if (index >= static_cast<int>(pins.size())) return nullptr;
    m_pins.push_back(pins[index]);
    return pins[index].Get();
}

HRESULT GraphHarness::AddChain(const std::vector<std::pair<IBaseFilter*, const char*>>& filters)
{
    for (const auto& [filter, name] : filters) Add(filter, name);
    for (size_t i = 1; i < filters.size(); ++i) {
        const HRESULT hr = graph->Connect(Pin(filters[i - 1].first, PINDIR_OUTPUT), Pin(filters[i].first, PINDIR_INPUT));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

std::vector<std::string> GraphHarness::FilterNames()
{
    std::vector<std::string> names;
    ComPtr<IEnumFilters> filters;
    graph->EnumFilters(filters.ReleaseAndGetAddressOf());
    IBaseFilter* filter = nullptr;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
        FILTER_INFO info{};
        filter->QueryFilterInfo(&info);
        names.emplace_back(info.achName);
        ReleaseFilterInfo(info);
        filter->Release();
    }
    return names;
}

HRESULT GraphHarness::RunFree()
{
    const HRESULT hr = mediaFilter->SetSyncSource(nullptr);
    return FAILED(hr) ? hr : control->Run();
}

std::vector<EventRecord> GraphHarness::ReadEvents(long timeoutMs, bool untilEnd)
{
    std::vector<EventRecord> seen;
    long code;
    LONG_PTR param1, param2;
    while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, timeoutMs))) {
        seen.emplace_back(code, param1);
        events->FreeEventParams(code, param1, param2);
        if (untilEnd && (code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT)) break;
    }
    return seen;
}

std::vector<EventRecord> GraphHarness::EventsUntilEnd() { return ReadEvents(30000, true); }

std::vector<long> GraphHarness::EventCodesUntilEnd()
{
    std::vector<long> codes;
    for (const auto& [code, param1] : EventsUntilEnd()) codes.push_back(code);
    return codes;
}

std::vector<EventRecord> GraphHarness::RemainingEvents() { return ReadEvents(0, false); }

NumberedChain::NumberedChain(const SourceSettings& settings)
    : source(new CNumberedSource(settings)), pass(new CPassThrough()), sink(new CTestSink()),
      refs{source, pass, sink}
{
    h.AddChain({{source, "Source"}, {pass, "Pass"}, {sink, "Sink"}});
}

ComPtr<IPin> OnlyPin(IBaseFilter* filter, PIN_DIRECTION direction)
{
    const auto pins = PinsOf(filter, direction);
    return pins.size() == 1 ? pins.front() : ComPtr<IPin>();
}

}  // namespace testing_filters
