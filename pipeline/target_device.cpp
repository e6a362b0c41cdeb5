#include <QDir>
#include <QFileInfo>

#include "components/component_ids.h"
#include "pipeline/device.h"
#include "pipeline/graph_context.h"
#include "pipeline/graph_utils.h"
#include "pipeline/output_name.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/media_type.h"
#include "res/string_table.h"

CTargetDevice::CTargetDevice(CKestrelDoc* document) : CBaseDevice(document)
{
    m_direction = DIRECTION_TARGET;
}

bool CTargetDevice::AcceptsSource(CSourceDevice*)
{
    return true;
}

HRESULT CTargetDevice::FinishGraph(CSourceDevice*, CGraphContext*)
{
    return S_OK;
}

QString CTargetDevice::GetDiscTitle()
{
    return LoadString(IDS_UNTITLED_VOLUME);
}

bool CTargetDevice::GetTrackList(QList<CDeviceTitle*>&)
{
    return false;
}

QString CTargetDevice::GetOutputFolder() const
{
    return {};
}

QString CTargetDevice::MakeUniqueOutputPath(const QString& folder, const CGraphContext* context,
                                            const QString& extension)
{
    const QString name = SafeOutputName(context->GetName());
    const QDir directory(folder);  // joins without doubling a trailing "/"
    for (int n = 1;; ++n) {
        const QString candidate =
            directory.filePath(n == 1 ? QStringLiteral("%1.%2").arg(name, extension)
                                      : QStringLiteral("%1 (%2).%3").arg(name).arg(n).arg(extension));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

HRESULT CTargetDevice::InsertTimeGrabber(CGraphContext* context)
{
    IPin* encoderIn = context->IsAudioOnly() ? context->AudioInputPin() : context->VideoInputPin();
    IGraphBuilder* graph = context->Graph();
    if (!encoderIn || !graph)
        return E_FAIL;
    ComPtr<IPin> upstream;
    HRESULT hr = encoderIn->ConnectedTo(upstream.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    // Both new connections keep the type already agreed on: left to choose
    // again, the upstream pin may offer one the encoder input refuses.
    CMediaType agreed;
    hr = encoderIn->ConnectionMediaType(&agreed);
    if (FAILED(hr))
        return hr;
    graph->Disconnect(upstream.Get());
    graph->Disconnect(encoderIn);
    ComPtr<IBaseFilter> grabber;
    hr = CoCreateInstance(CLSID_TimeGrabber, nullptr, CLSCTX_ALL, IID_PPV_ARGS(grabber.ReleaseAndGetAddressOf()));
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(grabber.Get(), "Time Grabber");
    if (FAILED(hr))
        return hr;
    ComPtr<ITimeGrabber> timeSource;
    hr = grabber.As(&timeSource);
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> grabberIn, grabberOut;
    hr = FindPin(grabber.Get(), PINDIR_INPUT, GUID_NULL, grabberIn.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = FindPin(grabber.Get(), PINDIR_OUTPUT, GUID_NULL, grabberOut.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = graph->ConnectDirect(upstream.Get(), grabberIn.Get(), &agreed);
    if (SUCCEEDED(hr))
        hr = graph->ConnectDirect(grabberOut.Get(), encoderIn, &agreed);
    if (FAILED(hr))
        return hr;
    context->SetTimeSource(timeSource.Get());
    return S_OK;
}
