#include "tests/app/scripted_devices.h"

#include <QFile>

#include "pipeline/graph_utils.h"
#include "pipeline/transcode_task.h"

namespace program_testing {

using namespace testing_filters;

ScriptedTarget::ScriptedTarget(CKestrelDoc* document, const QString& outputFolder)
    : CTargetDevice(document), folder(outputFolder)
{
}

// Writes a placeholder output file, so tests can see who deletes it.
HRESULT ScriptedTarget::PrepareGraph(CSourceDevice*, CTranscodeTask* task)
{
    if (refused.contains(task->GetName()))
        return E_FAIL;
    const QString path = MakeUniqueOutputPath(folder, task, QStringLiteral("out"));
    task->SetOutputPath(path);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    ComPtr<IBaseFilter> filter(new CTestSink);
    task->Graph()->AddFilter(filter.Get(), "Sink");
    ComPtr<IPin> in;
    FindPin(filter.Get(), PINDIR_INPUT, GUID_NULL, in.ReleaseAndGetAddressOf());
    task->SetInputPins(in.Get(), in.Get());
    return S_OK;
}

ScriptedSource::ScriptedSource(CKestrelDoc* document) : CSourceDevice(document) {}

HRESULT ScriptedSource::BuildVideoGraph(CTargetDevice*, CTranscodeTask* task)
{
    ComPtr<IBaseFilter> source(new CNumberedSource(settings));
    task->Graph()->AddFilter(source.Get(), "Numbers");
    ComPtr<IPin> out;
    FindPin(source.Get(), PINDIR_OUTPUT, GUID_NULL, out.ReleaseAndGetAddressOf());
    const HRESULT hr = task->Graph()->ConnectDirect(out.Get(), task->VideoInputPin(), nullptr);
    ComPtr<IMediaSeeking> seeking;
    if (SUCCEEDED(out.As(&seeking)))
        task->SetMediaSeeking(seeking.Get());
    return hr;
}

HRESULT ScriptedSource::BuildAudioGraph(CTargetDevice* target, CTranscodeTask* task)
{
    return BuildVideoGraph(target, task);
}

}  // namespace program_testing
