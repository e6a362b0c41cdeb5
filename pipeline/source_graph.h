// The source half of a task's graph for items that are files or web
// addresses: a reader, a demultiplexer and a video decoder of the program's
// choice (or the graph's own source selection as the fallback), connected
// to the input pins the target prepared. Also the steps other sources
// reuse. User-interface thread only, inside the task's Start.
#pragma once

#include <QString>

#include "platform/dshow/graph_interfaces.h"

class CGraphContext;

HRESULT BuildDefaultAudioGraph(CGraphContext* context);
HRESULT BuildDefaultVideoGraph(CGraphContext* context);

// The video path up to a pin that carries video.
HRESULT BuildVideoChain(CGraphContext* context, IPin** videoOut);
HRESULT AddDemultiplexer(IGraphBuilder* graph, const CLSID& id, IPin* streamPin, IPin** videoPin);
HRESULT AddVideoDecoder(IGraphBuilder* graph, const CLSID& id, IPin* upstreamPin, IPin** videoPin);
// The fallback: the graph's own source for the path.
HRESULT AddSystemSource(IGraphBuilder* graph, const QString& path, IPin** videoOut);

// Stores in the context the IMediaSeeking its progress is read from: the
// start pin's, or the first video output downstream that has one.
HRESULT FindSeekingPin(IPin* start, CGraphContext* context);
// Tells the first-choice video decoder its output mode and input frame rate.
HRESULT ConfigureVideoDecoder(CGraphContext* context);

// Only "http://" exactly (case-sensitive) is read from the network.
bool IsWebAddress(const QString& path);
