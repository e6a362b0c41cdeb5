#include "tests/platform/dshow/graph_harness.h"

namespace testing_filters {

GraphHarness::GraphHarness()
{
    graph = new CFilterGraph();
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
    mediaFilter->SetSyncSource(nullptr);
    return control->Run();
}

std::vector<long> GraphHarness::EventsUntilEnd(LONG_PTR* lastParam1)
{
    std::vector<long> codes;
    long code;
    LONG_PTR param1, param2;
    while (SUCCEEDED(events->GetEvent(&code, &param1, &param2, 10000))) {
        codes.push_back(code);
        events->FreeEventParams(code, param1, param2);
        if (lastParam1) *lastParam1 = param1;
        if (code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT) break;
    }
    return codes;
}

}  // namespace testing_filters
