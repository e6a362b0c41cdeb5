#include "targets/target_filters.h"

#include "components/component_interfaces.h"
#include "platform/com/class_registry.h"

HRESULT CreateTargetFilter(const CLSID& id, ComPtr<IBaseFilter>* filter)
{
    return CoCreateInstance(id, nullptr, CLSCTX_ALL, IID_PPV_ARGS(filter->ReleaseAndGetAddressOf()));
}

HRESULT SetOutputFile(IBaseFilter* filter, const QString& path)
{
    ComPtr<IFileSinkFilter> sink;
    if (!filter || FAILED(filter->QueryInterface(IFileSinkFilter::iid, sink.ReleaseAndGetVoidAddress())) || !sink)
        return E_FAIL;
    return sink->SetFileName(path.toUtf8().constData(), nullptr);
}

HRESULT AcceptAnyVideo(IBaseFilter* filter)
{
    ComPtr<IVideoDiscard> discard;
    if (!filter || FAILED(filter->QueryInterface(IVideoDiscard::iid, discard.ReleaseAndGetVoidAddress())) ||
        !discard)
        return E_FAIL;
    return discard->SetMediaTypes(MEDIATYPE_Video, GUID_NULL);
}
