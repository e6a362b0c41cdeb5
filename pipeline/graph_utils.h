// Small graph utilities shared by the sources and the target handlers:
// finding pins by direction, media type or name, splicing a filter in
// front of a pin, and configuring a component through IModuleConfig.
// User-interface thread only, while a task's graph is being built.
#pragma once

#include <initializer_list>
#include <utility>

#include "platform/dshow/filter_interfaces.h"
#include "platform/dshow/graph_interfaces.h"
#include "platform/dshow/pin_interfaces.h"

// S_OK when the pin offers a media type of that major type (and sub type,
// unless GUID_NULL), S_FALSE when it offers none; GUID_NULL as major
// matches any pin at once.
HRESULT PinHasMediaType(IPin* pin, const GUID& major, const GUID& sub);

// The index-th (0-based) pin of that direction offering the major type
// (GUID_NULL: any), connected or not. E_FAIL when there is none.
HRESULT FindPin(IBaseFilter* filter, PIN_DIRECTION direction, const GUID& major, IPin** pin, int index = 0);

// The filter's pin with that name (IBaseFilter::FindPin).
HRESULT FindPinByName(IBaseFilter* filter, const char* name, IPin** pin);

// The first pin of that direction. E_FAIL when there is none.
HRESULT FindPinByDirection(IBaseFilter* filter, PIN_DIRECTION direction, IPin** pin);

// Puts the filter between the input pin and the output pin feeding it:
// disconnects both, adds the filter without a name and reconnects through
// it with intelligent connect. Nothing is undone on failure.
HRESULT InsertFilterBefore(IBaseFilter* filter, IGraphBuilder* graph, IPin* pin);

// One IModuleConfig parameter: its GUID and its 32-bit value, sent as
// VT_I4 or VT_UI4 (or VT_R8 for real values). Not named ModuleParameter:
// components/common/module_config.h has that name for a component's own table.
struct ModuleSetting {
    GUID id;
    VARTYPE type;
    double value;
};

// Sets the parameters in order on the filter's IModuleConfig (optionally
// after SetDefState), then commits. E_FAIL when the filter has no
// IModuleConfig; otherwise the first failing call's code.
HRESULT ConfigureModule(IUnknown* filter, std::initializer_list<ModuleSetting> parameters,
                        bool resetFirst = false);
