#include "tests/components/converter_chain.h"

#include "components/register_components.h"
#include "platform/dshow/graph_pins.h"

namespace converter_testing {

ComPtr<IBaseFilter> MakeComponent(REFCLSID clsid)
{
    RegisterComponents();
    ComPtr<IBaseFilter> filter;
    CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(filter.ReleaseAndGetAddressOf()));
    return filter;
}

HRESULT Configure(IBaseFilter* filter, const std::vector<std::pair<GUID, uint32_t>>& values)
{
    ComPtr<IModuleConfig> config;
    HRESULT hr = QueryInterfaceAs(filter, config.ReleaseAndGetAddressOf());
    for (const auto& [parameter, bits] : values) {
        if (FAILED(hr)) return hr;
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_UI4;
        value.ulVal = bits;
        hr = config->SetValue(&parameter, &value);
        VariantClear(&value);
    }
    return FAILED(hr) ? hr : config->CommitChanges(nullptr);
}

std::pair<std::string, PIN_DIRECTION> PinNameAt(IBaseFilter* filter, int index)
{
    const auto pins = PinsOf(filter);
    if (index >= static_cast<int>(pins.size())) return {"", PINDIR_INPUT};
    PIN_INFO info{};
    pins[index]->QueryPinInfo(&info);
    std::pair<std::string, PIN_DIRECTION> result{info.achName, info.dir};
    ReleasePinInfo(info);
    return result;
}

ConverterChain::ConverterChain(IBaseFilter* sourceFilter, IBaseFilter* componentFilter)
    : source(sourceFilter), component(componentFilter), sink(new testing_media::CCollectingSink()), sinkRef(sink)
{
    h.Add(source.Get(), "Source");
    h.Add(component.Get(), "Component");
    h.Add(sinkRef.Get(), "Sink");
}

HRESULT ConverterChain::Connect()
{
    HRESULT hr = h.graph->ConnectDirect(h.Pin(source.Get(), PINDIR_OUTPUT), h.Pin(component.Get(), PINDIR_INPUT), nullptr);
    if (SUCCEEDED(hr))
        hr = h.graph->ConnectDirect(h.Pin(component.Get(), PINDIR_OUTPUT), h.Pin(sinkRef.Get(), PINDIR_INPUT), nullptr);
    return hr;
}

std::vector<long> ConverterChain::Run()
{
    if (FAILED(h.RunFree())) return {};
    auto codes = h.EventCodesUntilEnd();
    h.control->Stop();
    return codes;
}

}  // namespace converter_testing
