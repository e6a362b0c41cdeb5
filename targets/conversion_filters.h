// The three converters a handler may splice in front of an encoder input:
// sample-rate converter, frame-rate converter and scaler. Each does nothing
// when its setting keeps the source's value; otherwise it creates the
// component, sets its one value through IModuleConfig and inserts it
// between the pin and its upstream peer (InsertFilterBefore). The pin must
// be connected. User-interface thread only, from CompleteGraph.
#pragma once

#include <optional>

#include <QSize>

#include "platform/dshow/graph_interfaces.h"
#include "targets/target_profile.h"

// A sample rate of 0 keeps the source's.
HRESULT AddResampleFilter(IGraphBuilder* graph, IPin* audioPin, const TargetAudioSettings& audio);

// A frame rate of 0 keeps the source's; -2997 (29.97 fps) reaches the
// converter as its 32-bit pattern.
HRESULT AddFrameRateFilter(IGraphBuilder* graph, IPin* videoPin, const TargetVideoSettings& video);

// Mode 0 keeps the size; mode 1 scales to width x height; mode 2 scales
// down to fit within width x height, reading the source size from the
// pin's connection (VIDEOINFOHEADER or VIDEOINFOHEADER2, else E_FAIL).
// A zero width or height (the "Source" size) keeps the source size in
// either mode. Any other mode: E_FAIL.
HRESULT AddResizeFilter(IPin* videoPin, IGraphBuilder* graph, const TargetVideoSettings& video);

// Mode 2's rule: nothing when the source is smaller than the limit both
// ways, else each side is capped by the limit on its own (the scaler keeps
// the picture's aspect inside that frame).
std::optional<QSize> SizeWithin(const QSize& source, const QSize& limit);

// The scaler's full-HD switch is set for exactly 1920 x 1080.
bool IsFullHdSize(const QSize& size);
