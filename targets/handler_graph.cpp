#include "targets/handler_graph.h"

#include "pipeline/device.h"
#include "pipeline/graph_context.h"
#include "services/missing_component_dlg.h"
#include "targets/target_handler.h"

HRESULT PrepareHandlerGraph(CTargetHandler* handler, const QString& folder, CGraphContext* context,
                            bool checkComponents)
{
    // No folder (a netbook without its drive) must not become the root.
    if (!handler || folder.isEmpty())
        return E_FAIL;
    const QString extension = handler->GetFileExtension();
    const QString path = CTargetDevice::MakeUniqueOutputPath(folder, context, extension);
    context->SetOutputPath(path);
    IGraphBuilder* graph = context->Graph();
    if (!graph)
        return E_FAIL;
    if (checkComponents) {
        QString message, link;
        if (FAILED(handler->CheckComponents(message, link))) {
            CMissingComponentDlg::Show(message, link);
            return E_FAIL;
        }
    }
    ComPtr<IPin> videoIn, audioIn;
    const HRESULT hr = handler->AddFilters(path, graph, videoIn.ReleaseAndGetAddressOf(), audioIn.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    context->SetInputPins(videoIn.Get(), audioIn.Get());
    return S_OK;
}

HRESULT FinishHandlerGraph(CTargetHandler* handler, CGraphContext* context)
{
    const HRESULT hr = handler ? handler->CompleteGraph() : E_FAIL;
    return FAILED(hr) ? hr : CTargetDevice::InsertTimeGrabber(context);
}
