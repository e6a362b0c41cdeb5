#include "tests/targets/target_graph.h"

#include <algorithm>

#include "components/component_ids.h"
#include "components/register_components.h"
#include "pipeline/graph_utils.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/platform_filters.h"
#include "targets/target_filters.h"
#include "targets/target_handler.h"

namespace target_testing {

void RegisterEverything()
{
    RegisterPlatformFilters();
    RegisterComponents();
}

HRESULT AddDemultiplexedFile(IGraphBuilder* graph, const std::string& path, ComPtr<IBaseFilter>* demultiplexer)
{
    ComPtr<IBaseFilter> source;
    HRESULT hr = CreateTargetFilter(CLSID_AsyncReader, &source);
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(source.Get(), nullptr);
    ComPtr<IFileSourceFilter> file;
    if (SUCCEEDED(hr))
        hr = source.As(&file);
    if (SUCCEEDED(hr))
        hr = file->Load(path.c_str(), nullptr);
    if (SUCCEEDED(hr))
        hr = CreateTargetFilter(CLSID_Demultiplexer, demultiplexer);
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(demultiplexer->Get(), "Demultiplexer");
    ComPtr<IPin> stream, input;
    if (SUCCEEDED(hr))
        hr = FindPin(source.Get(), PINDIR_OUTPUT, MEDIATYPE_Stream, stream.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = FindPin(demultiplexer->Get(), PINDIR_INPUT, GUID_NULL, input.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = graph->ConnectDirect(stream.Get(), input.Get(), nullptr);
    return hr;
}

std::vector<CLSID> FilterClasses(IFilterGraph* graph)
{
    std::vector<CLSID> classes;
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.ReleaseAndGetAddressOf())))
        return classes;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        CLSID clsid = GUID_NULL;
        filter->GetClassID(&clsid);
        classes.push_back(clsid);
    }
    return classes;
}

bool HandlerRun::Holds(const CLSID& clsid) const
{
    return std::find(filters.begin(), filters.end(), clsid) != filters.end();
}

namespace {

// The first output of that type, decoded and converted as needed, into `input`.
bool ConnectFirst(IGraphBuilder* graph, IBaseFilter* demultiplexer, const GUID& major, IPin* input)
{
    ComPtr<IPin> output;
    return SUCCEEDED(FindPin(demultiplexer, PINDIR_OUTPUT, major, output.ReleaseAndGetAddressOf())) &&
           SUCCEEDED(graph->Connect(output.Get(), input));
}

}  // namespace

HandlerRun ConvertWith(CTargetHandler& handler, const std::string& input, const std::string& output,
                       const GraphCheck& check)
{
    RegisterEverything();
    HandlerRun run;
    testing_filters::GraphHarness h;
    ComPtr<IPin> videoIn, audioIn;
    run.added = handler.AddFilters(QString::fromStdString(output), h.graph.Get(), videoIn.ReleaseAndGetAddressOf(),
                                   audioIn.ReleaseAndGetAddressOf());
    if (FAILED(run.added))
        return run;
    ComPtr<IBaseFilter> demultiplexer;
    if (FAILED(AddDemultiplexedFile(h.graph.Get(), input, &demultiplexer)))
        return run;
    run.videoConnected = ConnectFirst(h.graph.Get(), demultiplexer.Get(), MEDIATYPE_Video, videoIn.Get());
    run.audioConnected = ConnectFirst(h.graph.Get(), demultiplexer.Get(), MEDIATYPE_Audio, audioIn.Get());
    run.completed = handler.CompleteGraph();
    if (FAILED(run.completed))
        return run;
    run.filters = FilterClasses(h.graph.Get());
    if (check)
        check(h.graph.Get());
    if (SUCCEEDED(h.RunFree()))
        run.events = h.EventCodesUntilEnd();
    h.control->Stop();
    return run;
}

}  // namespace target_testing
