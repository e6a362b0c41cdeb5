// Intelligent connect, rendering and source selection of the filter graph.
#include <algorithm>

#include "platform/dshow/filter_graph.h"
#include "platform/dshow/filter_mapper.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/media_guids.h"

namespace {

// Deep enough for source, parser, decoder, converter, converter.
constexpr int kMaxConnectDepth = 5;

bool InChain(const std::vector<CLSID>& chain, const CLSID& clsid)
{
    return std::find(chain.begin(), chain.end(), clsid) != chain.end();
}

}  // namespace

HRESULT CFilterGraph::Connect(IPin* output, IPin* input)
{
    if (!output || !input) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    if (!ContainsPinOwner(output) || !ContainsPinOwner(input)) return VFW_E_NOT_IN_GRAPH;
    if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
    if (DirectionOf(output) != PINDIR_OUTPUT || DirectionOf(input) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    if (IsPinConnected(output) || IsPinConnected(input)) return VFW_E_ALREADY_CONNECTED;
    std::vector<CLSID> chain;
    return ConnectThroughFilters(output, input, 0, chain);
}

HRESULT CFilterGraph::ConnectThroughFilters(IPin* output, IPin* input, int depth, std::vector<CLSID>& chain)
{
    if (SUCCEEDED(output->Connect(input, nullptr))) return S_OK;
    if (depth >= kMaxConnectDepth) return VFW_E_CANNOT_CONNECT;

    for (const auto& candidate : FilterMapper::Instance().Candidates(MediaTypesOf(output))) {
        if (InChain(chain, candidate.clsid)) continue;
        ComPtr<IBaseFilter> filter;
        if (FAILED(AddConnectedFilter(output, candidate.clsid, candidate.name, &filter))) continue;
        chain.push_back(candidate.clsid);
        for (const auto& next : PinsOf(filter.Get(), PINDIR_OUTPUT)) {
            if (IsPinConnected(next.Get())) continue;
            if (SUCCEEDED(ConnectThroughFilters(next.Get(), input, depth + 1, chain))) {
                chain.pop_back();
                return S_OK;
            }
        }
        chain.pop_back();
        // Filters further downstream were removed by their own attempts.
        RemoveFilter(filter.Get());
    }
    return VFW_E_CANNOT_CONNECT;
}

HRESULT CFilterGraph::Render(IPin* output)
{
    if (!output) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    if (!ContainsPinOwner(output)) return VFW_E_NOT_IN_GRAPH;
    if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
    if (DirectionOf(output) != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (IsPinConnected(output)) return VFW_E_ALREADY_CONNECTED;
    std::vector<CLSID> chain;
    return RenderThroughFilters(output, 0, chain);
}

HRESULT CFilterGraph::RenderThroughFilters(IPin* output, int depth, std::vector<CLSID>& chain)
{
    if (depth >= kMaxConnectDepth) return VFW_E_CANNOT_RENDER;
    for (const auto& candidate : FilterMapper::Instance().Candidates(MediaTypesOf(output))) {
        if (InChain(chain, candidate.clsid)) continue;
        ComPtr<IBaseFilter> filter;
        if (FAILED(AddConnectedFilter(output, candidate.clsid, candidate.name, &filter))) continue;
        const auto outputs = PinsOf(filter.Get(), PINDIR_OUTPUT);
        // A filter with no outputs is where the stream ends.
        bool rendered = outputs.empty();
        chain.push_back(candidate.clsid);
        for (const auto& next : outputs)
            rendered = SUCCEEDED(RenderThroughFilters(next.Get(), depth + 1, chain)) || rendered;
        chain.pop_back();
        if (rendered) return S_OK;
        RemoveFilter(filter.Get());
    }
    return VFW_E_CANNOT_RENDER;
}

HRESULT CFilterGraph::AddConnectedFilter(IPin* output, const CLSID& clsid, const std::string& name,
                                         ComPtr<IBaseFilter>* filter)
{
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(filter->ReleaseAndGetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = AddFilter(filter->Get(), name.empty() ? nullptr : name.c_str());
    if (FAILED(hr)) return hr;
    for (const auto& input : PinsOf(filter->Get(), PINDIR_INPUT)) {
        if (!IsPinConnected(input.Get()) && SUCCEEDED(output->Connect(input.Get(), nullptr))) return S_OK;
    }
    RemoveFilter(filter->Get());
    return VFW_E_CANNOT_CONNECT;
}

HRESULT CFilterGraph::AddSourceFilter(LPCOLESTR fileName, LPCOLESTR filterName, IBaseFilter** filter)
{
    if (!fileName || !filter) return E_POINTER;
    *filter = nullptr;
    std::lock_guard lock(m_graphLock);
    const CLSID clsid = FilterMapper::Instance().SourceFor(fileName).value_or(CLSID_AsyncReader);

    ComPtr<IBaseFilter> source;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(source.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) return hr;
    ComPtr<IFileSourceFilter> loader;
    if (FAILED(source.As(&loader))) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
    hr = loader->Load(fileName, nullptr);
    if (FAILED(hr)) return hr;
    hr = AddFilter(source.Get(), filterName ? filterName : fileName);
    if (FAILED(hr)) return hr;
    return source.CopyTo(filter);
}
