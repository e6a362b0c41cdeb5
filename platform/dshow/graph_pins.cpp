#include "platform/dshow/graph_pins.h"

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter, std::optional<PIN_DIRECTION> direction)
{
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> enumerator;
    if (!filter || FAILED(filter->EnumPins(enumerator.ReleaseAndGetAddressOf()))) return pins;
    IPin* pin = nullptr;
    while (enumerator->Next(1, &pin, nullptr) == S_OK) {
        ComPtr<IPin> held;
        held.Attach(pin);
        if (!direction || DirectionOf(pin) == *direction) pins.push_back(std::move(held));
    }
    return pins;
}

ComPtr<IBaseFilter> FilterOf(IPin* pin)
{
    PIN_INFO info{};
    if (!pin || FAILED(pin->QueryPinInfo(&info))) return {};
    ComPtr<IBaseFilter> filter;
    filter.Attach(info.pFilter);
    return filter;
}

PIN_DIRECTION DirectionOf(IPin* pin)
{
    PIN_DIRECTION direction = PINDIR_INPUT;
    pin->QueryDirection(&direction);
    return direction;
}

bool IsPinConnected(IPin* pin)
{
    ComPtr<IPin> peer;
    return SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf()));
}

std::vector<CMediaType> MediaTypesOf(IPin* pin)
{
    std::vector<CMediaType> types;
    ComPtr<IEnumMediaTypes> enumerator;
    if (FAILED(pin->EnumMediaTypes(enumerator.ReleaseAndGetAddressOf()))) return types;
    AM_MEDIA_TYPE* type = nullptr;
    while (enumerator->Next(1, &type, nullptr) == S_OK) {
        types.emplace_back(*type);
        DeleteMediaType(type);
    }
    return types;
}
