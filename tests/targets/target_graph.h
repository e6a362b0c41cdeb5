// Runs a target handler the way a task does, on real media: the handler
// adds its filters, File Source (Async.) and the demultiplexer feed its
// video and audio pins (decoders found by intelligent connect), the handler
// completes the graph, and the graph runs without a clock to its end.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/com/comptr.h"
#include "platform/dshow/graph_interfaces.h"
#include "tests/platform/dshow/graph_harness.h"

class CTargetHandler;

namespace target_testing {

// RegisterPlatformFilters and RegisterComponents.
void RegisterEverything();

// The file's source half in `graph`: File Source (Async.) and
// "Demultiplexer", connected.
HRESULT AddDemultiplexedFile(IGraphBuilder* graph, const std::string& path, ComPtr<IBaseFilter>* demultiplexer);

struct HandlerRun {
    HRESULT added = E_FAIL;      // AddFilters
    HRESULT completed = E_FAIL;  // CompleteGraph
    std::vector<long> events;    // up to the end of the run
    std::vector<CLSID> filters;  // the class of every filter in the graph when it ran
    bool videoConnected = false, audioConnected = false;  // what the source reached

    bool Holds(const CLSID& clsid) const;
};

// The class ids of the graph's filters, in the graph's order.
std::vector<CLSID> FilterClasses(IFilterGraph* graph);

// Looks at the graph once the handler completed it, before it runs.
using GraphCheck = std::function<void(IFilterGraph* graph)>;

// Converts `input` into `output` with the handler. Stops early on a failure.
HandlerRun ConvertWith(CTargetHandler& handler, const std::string& input, const std::string& output,
                       const GraphCheck& check = {});

}  // namespace target_testing
