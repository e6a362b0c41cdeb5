// The three converters a handler may splice in front of an encoder input:
// sample-rate converter (which also mixes channels), frame-rate converter
// and scaler. Each does nothing
// when its setting keeps the source's value; otherwise it creates the
// component, sets its one value through IModuleConfig and inserts it
// between the pin and its upstream peer (InsertFilterBefore). The pin must
// be connected. User-interface thread only, from CompleteGraph.
#pragma once

#include <optional>

#include <QSize>

#include "platform/dshow/graph_interfaces.h"
#include "targets/target_profile.h"

// A sample rate of 0 keeps the source's; so does a channel limit of 0.
HRESULT AddResampleFilter(IGraphBuilder* graph, IPin* audioPin, const TargetAudioSettings& audio);

// A frame rate of 0 keeps the source's; -2997 (29.97 fps) reaches the
// converter as its 32-bit pattern.
HRESULT AddFrameRateFilter(IGraphBuilder* graph, IPin* videoPin, const TargetVideoSettings& video);

// Every rule works on the display size (the frame shown with its display
// aspect ratio, from VIDEOINFOHEADER2's picture aspect fields), and the
// encoder always gets square pixels. Mode 0 keeps the display size; mode 1
// scales to width x height (the scaler letterboxes the picture in it);
// mode 2 scales the display size down to fit within width x height. A zero
// width or height (the "Source" size) keeps the display size in either
// mode. Modes 0 and 2 read the source from the pin's connection
// (VIDEOINFOHEADER or VIDEOINFOHEADER2; else mode 2 gives E_FAIL and mode
// 0 keeps what comes). Any other mode: E_FAIL.
HRESULT AddResizeFilter(IPin* videoPin, IGraphBuilder* graph, const TargetVideoSettings& video);

// The size a `frame` with the display aspect ratio `aspect` (width:height;
// an empty one for square pixels) shows at: the height kept, the width
// even.
QSize DisplaySize(const QSize& frame, const QSize& aspect);

// Mode 2's rule: nothing when the picture fits the limit, else the largest
// size of the picture's shape within it (even sides), so no bars are added.
std::optional<QSize> SizeWithin(const QSize& source, const QSize& limit);

// The scaler's full-HD switch is set for exactly 1920 x 1080.
bool IsFullHdSize(const QSize& size);
