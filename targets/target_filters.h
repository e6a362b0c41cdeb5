// Small steps the target handlers share when they add their filters:
// creating a filter by class id, naming the output file of a writer, and
// narrowing the video discard filter to video. User-interface thread only.
#pragma once

#include <QString>

#include "platform/com/comptr.h"
#include "platform/dshow/filter_interfaces.h"
#include "platform/dshow/graph_interfaces.h"

// CoCreateInstance(id, no outer object, CLSCTX_ALL) as IBaseFilter.
HRESULT CreateTargetFilter(const CLSID& id, ComPtr<IBaseFilter>* filter);

// IFileSinkFilter::SetFileName(path, no media type); E_FAIL when the filter
// has no IFileSinkFilter.
HRESULT SetOutputFile(IBaseFilter* filter, const QString& path);

// Tells a video discard filter to take any video. E_FAIL when the filter has
// no IVideoDiscard (an encoder, for one), else the call's result.
HRESULT AcceptAnyVideo(IBaseFilter* filter);
