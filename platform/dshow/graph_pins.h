// Small queries on pins and filters through their interfaces alone, for code
// that walks a graph (the graph manager, graph building, tests).
#pragma once

#include <optional>
#include <vector>

#include "platform/dshow/filter_interfaces.h"

// The filter's pins in EnumPins order, optionally only those of one direction.
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter, std::optional<PIN_DIRECTION> direction = std::nullopt);
// The filter a pin belongs to; empty if the pin will not say.
ComPtr<IBaseFilter> FilterOf(IPin* pin);
PIN_DIRECTION DirectionOf(IPin* pin);
bool IsPinConnected(IPin* pin);
// The types a pin proposes, in its order of preference.
std::vector<CMediaType> MediaTypesOf(IPin* pin);
