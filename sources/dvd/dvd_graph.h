// The DVD half of a task's graph (and of the title preview): the DVD source
// filter reading the title's sectors, the program stream demultiplexer set
// up for DVD titles, the MPEG-2 video decoder (which also takes the chosen
// subpicture stream) and, for AC-3 audio, the AC-3 decoder.
// User-interface thread only.
#pragma once

#include "platform/dshow/graph_interfaces.h"

class CGraphContext;
class CTitleInfo;

// Builds the graph for `title` into `graph` and hands out the pins the
// rest connects to: the video decoder's "Out" and the audio pin (the AC-3
// decoder's "Out", or the demultiplexer's own pin for other audio). With a
// context, the context learns where to read progress from. A subpicture
// stream that has no pin, or does not connect, is left out. The first
// failure is returned; what was added stays in the graph.
HRESULT BuildDvdGraph(IGraphBuilder* graph, const CTitleInfo& title, IPin** videoOut, IPin** audioOut,
                      CGraphContext* context);

// The six DVD parameters on the demultiplexer, in order, then a commit.
HRESULT ConfigureDvdDemultiplexer(IBaseFilter* demultiplexer);

// The positions of a trimmed title on the graph: the start (0 when unset)
// and the stop (the title's end when unset). Nothing when neither is set.
HRESULT ApplyTrim(IGraphBuilder* graph, const CTitleInfo& title);
