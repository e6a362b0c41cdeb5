#include "tests/app/scripted_devices.h"

#include <QFile>

#include "pipeline/graph_context.h"
#include "pipeline/graph_utils.h"

namespace program_testing {

using namespace testing_filters;

ScriptedTarget::ScriptedTarget(CKestrelDoc* document, const QString& outputFolder)
    : CTargetDevice(document), folder(outputFolder)
{
}

// Writes a placeholder output file, so tests can see who deletes it.
HRESULT ScriptedTarget::PrepareGraph(CSourceDevice*, CGraphContext* context)
{
    if (refused.contains(context->GetName()))
        return E_FAIL;
    const QString path = MakeUniqueOutputPath(folder, context, QStringLiteral("out"));
    context->SetOutputPath(path);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    m_sink = new CTestSink;
    m_sinkRef = m_sink;
    if (holdGate)
        m_sink->HoldSample(holdSample, holdGate);
    m_sink->FailClosingWith(closeFailure);
    context->Graph()->AddFilter(m_sink, "Sink");
    ComPtr<IPin> in;
    FindPin(m_sink, PINDIR_INPUT, GUID_NULL, in.ReleaseAndGetAddressOf());
    context->SetInputPins(in.Get(), in.Get());
    return S_OK;
}

HRESULT ScriptedTarget::FinishGraph(CSourceDevice*, CGraphContext* context)
{
    return timeGrabber ? InsertTimeGrabber(context) : S_OK;
}

ScriptedSource::ScriptedSource(CKestrelDoc* document) : CSourceDevice(document) {}

HRESULT ScriptedSource::BuildVideoGraph(CTargetDevice*, CGraphContext* context)
{
    ComPtr<IBaseFilter> source(new CNumberedSource(settings));
    context->Graph()->AddFilter(source.Get(), "Numbers");
    ComPtr<IPin> out;
    FindPin(source.Get(), PINDIR_OUTPUT, GUID_NULL, out.ReleaseAndGetAddressOf());
    const HRESULT hr = context->Graph()->ConnectDirect(out.Get(), context->VideoInputPin(), nullptr);
    ComPtr<IMediaSeeking> seeking;
    if (offersSeeking && SUCCEEDED(out.As(&seeking)))
        context->SetMediaSeeking(seeking.Get());
    return hr;
}

HRESULT ScriptedSource::BuildAudioGraph(CTargetDevice* target, CGraphContext* context)
{
    return BuildVideoGraph(target, context);
}

}  // namespace program_testing
