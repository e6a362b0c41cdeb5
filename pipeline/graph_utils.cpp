#include "pipeline/graph_utils.h"

#include <cstdint>

#include "components/component_interfaces.h"
#include "platform/com/comptr.h"

HRESULT PinHasMediaType(IPin* pin, const GUID& major, const GUID& sub)
{
    if (major == GUID_NULL)
        return S_OK;
    if (!pin)
        return E_POINTER;
    ComPtr<IEnumMediaTypes> types;
    HRESULT hr = pin->EnumMediaTypes(types.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    types->Reset();
    for (;;) {
        AM_MEDIA_TYPE* type = nullptr;
        hr = types->Next(1, &type, nullptr);
        if (hr != S_OK || !type)
            return FAILED(hr) ? hr : S_FALSE;
        const bool matches = type->majortype == major && (sub == GUID_NULL || type->subtype == sub);
        DeleteMediaType(type);
        if (matches)
            return S_OK;
    }
}

HRESULT FindPin(IBaseFilter* filter, PIN_DIRECTION direction, const GUID& major, IPin** pin, int index)
{
    if (!filter || !pin)
        return E_POINTER;
    ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    pins->Reset();
    int matches = 0;
    ComPtr<IPin> candidate;
    while (pins->Next(1, candidate.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION candidateDirection;
        hr = candidate->QueryDirection(&candidateDirection);
        if (FAILED(hr))
            return hr;
        if (candidateDirection != direction || PinHasMediaType(candidate.Get(), major, GUID_NULL) != S_OK)
            continue;
        if (matches == index) {
            *pin = candidate.Detach();
            return S_OK;
        }
        ++matches;
    }
    return E_FAIL;
}

HRESULT FindPinByName(IBaseFilter* filter, const char* name, IPin** pin)
{
    if (!filter || !name || !pin)
        return E_POINTER;
    return filter->FindPin(name, pin);
}

HRESULT FindPinByDirection(IBaseFilter* filter, PIN_DIRECTION direction, IPin** pin)
{
    if (!filter || !pin)
        return E_POINTER;
    ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> candidate;
    for (;;) {
        hr = pins->Next(1, candidate.ReleaseAndGetAddressOf(), nullptr);
        if (FAILED(hr))
            return hr;
        if (hr != S_OK)
            return E_FAIL;
        PIN_DIRECTION candidateDirection;
        if (SUCCEEDED(candidate->QueryDirection(&candidateDirection)) && candidateDirection == direction) {
            *pin = candidate.Detach();
            return S_OK;
        }
    }
}

namespace {

// A failed insert leaves the graph as it found it: without the filter, and
// with the pin linked to its old peer again.
void RestoreLink(IGraphBuilder* graph, IBaseFilter* filter, bool added, IPin* peer, IPin* pin)
{
    if (added)
        graph->RemoveFilter(filter);
    if (FAILED(graph->ConnectDirect(peer, pin, nullptr)))
        graph->Connect(peer, pin);
}

}  // namespace

HRESULT InsertFilterBefore(IBaseFilter* filter, IGraphBuilder* graph, IPin* pin)
{
    if (!filter || !graph || !pin)
        return E_POINTER;
    ComPtr<IPin> peer;
    HRESULT hr = pin->ConnectedTo(peer.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    hr = graph->Disconnect(peer.Get());
    if (SUCCEEDED(hr))
        hr = graph->Disconnect(pin);
    if (FAILED(hr))
        return hr;
    hr = graph->AddFilter(filter, nullptr);
    const bool added = SUCCEEDED(hr);
    ComPtr<IPin> in, out;
    if (SUCCEEDED(hr))
        hr = FindPinByDirection(filter, PINDIR_INPUT, in.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = FindPinByDirection(filter, PINDIR_OUTPUT, out.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = graph->Connect(peer.Get(), in.Get());
    if (SUCCEEDED(hr))
        hr = graph->Connect(out.Get(), pin);
    if (FAILED(hr))
        RestoreLink(graph, filter, added, peer.Get(), pin);
    return hr;
}

namespace {

HRESULT SetModuleValue(IModuleConfig* config, const ModuleSetting& setting)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = setting.type;
    if (setting.type == VT_R8)
        value.dblVal = setting.value;
    else  // the 32-bit pattern, so -2997 sent as VT_UI4 arrives as 0xFFFFF44B
        value.ulVal = static_cast<uint32_t>(static_cast<int64_t>(setting.value));
    const HRESULT hr = config->SetValue(&setting.id, &value);
    VariantClear(&value);
    return hr;
}

HRESULT SetAndCommit(IModuleConfig* config, std::initializer_list<ModuleSetting> parameters, bool resetFirst)
{
    if (resetFirst) {
        const HRESULT hr = config->SetDefState();
        if (FAILED(hr))
            return hr;
    }
    for (const ModuleSetting& setting : parameters) {
        const HRESULT hr = SetModuleValue(config, setting);
        if (FAILED(hr))
            return hr;
    }
    VARIANT reason;
    VariantInit(&reason);
    const HRESULT hr = config->CommitChanges(&reason);
    VariantClear(&reason);
    return hr;
}

}  // namespace

HRESULT ConfigureModule(IUnknown* filter, std::initializer_list<ModuleSetting> parameters, bool resetFirst)
{
    if (!filter)
        return E_POINTER;
    ComPtr<IModuleConfig> config;
    if (FAILED(filter->QueryInterface(IModuleConfig::iid, config.ReleaseAndGetVoidAddress())) || !config)
        return E_FAIL;
    return SetAndCommit(config.Get(), parameters, resetFirst);
}
