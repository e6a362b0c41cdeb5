#include "pipeline/transcode_task.h"

#include <QFile>

#include "pipeline/device.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/media_guids.h"
#include "res/string_table.h"
#include "ui/messages.h"
#include "ui/wait_cursor.h"

namespace {

// Events that mean the graph stopped streaming because of an error.
bool IsErrorEvent(long code)
{
    return code == EC_ERRORABORT || code == EC_STREAM_ERROR_STOPPED || code == EC_USERABORT ||
           code == EC_ERROR_STILLPLAYING || code == EC_STREAM_ERROR_STILLPLAYING;
}

}  // namespace

CTranscodeTask::CTranscodeTask(CSourceDevice* source, CTargetDevice* target, const QString& name,
                               const QString& sourcePath, bool audioOnly, IGraphBuilder* graph)
    : name_(name), sourcePath_(sourcePath), audioOnly_(audioOnly), source_(source), target_(target)
{
    if (graph)
        graph_ = graph;
    else
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_ALL, IID_PPV_ARGS(graph_.ReleaseAndGetAddressOf()));
}

CTranscodeTask::~CTranscodeTask()
{
    timeSource_.Reset();
    seeking_.Reset();
    audioIn_.Reset();
    videoIn_.Reset();
    graph_.Reset();
}

void CTranscodeTask::SetInputPins(IPin* video, IPin* audio)
{
    videoIn_ = video;
    audioIn_ = audio;
}

HRESULT CTranscodeTask::GetAudioInputPin(IPin** pin)
{
    if (!audioIn_)
        return E_FAIL;
    return audioIn_.CopyTo(pin);
}

bool CTranscodeTask::Start()
{
    CWaitCursor wait;
    if (FAILED(BuildAndRun())) {
        Fail();
        return false;
    }
    return true;
}

HRESULT CTranscodeTask::BuildAndRun()
{
    if (!graph_)
        return E_FAIL;
    HRESULT hr = target_->PrepareGraph(source_, this);
    if (SUCCEEDED(hr))
        hr = audioOnly_ ? source_->BuildAudioGraph(target_, this) : source_->BuildVideoGraph(target_, this);
    if (SUCCEEDED(hr))
        hr = target_->FinishGraph(source_, this);
    if (SUCCEEDED(hr))
        hr = source_->FinishGraph(target_, this);
    if (FAILED(hr))
        return hr;
    ComPtr<IMediaFilter> mediaFilter;
    ComPtr<IMediaControl> control;
    if (FAILED(graph_.As(&mediaFilter)) || FAILED(graph_.As(&control)))
        return E_FAIL;
    mediaFilter->SetSyncSource(nullptr);
    return control->Run();
}

// A graph that never ran can still hold a writer that created the file.
void CTranscodeTask::Fail()
{
    ShowError(LoadString(IDS_TRANSFER_ERROR), false);
    Discard();
}

void CTranscodeTask::Discard()
{
    if (graph_) {
        ComPtr<IMediaControl> control;
        if (SUCCEEDED(graph_.As(&control)))
            control->Stop();
    }
    timeSource_.Reset();
    seeking_.Reset();
    videoIn_.Reset();
    audioIn_.Reset();
    graph_.Reset();
    if (!outputPath_.isEmpty())
        QFile::remove(outputPath_);
}

void CTranscodeTask::Abort()
{
    ComPtr<IMediaControl> control;
    if (!graph_ || FAILED(graph_.As(&control)))
        return;
    Discard();
}

bool CTranscodeTask::Poll()
{
    if (!graph_)
        return false;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    if (FAILED(graph_.As(&control)) || FAILED(graph_.As(&events)))
        return false;
    OAFilterState state = State_Stopped;
    control->GetState(10, &state);
    if (state == State_Stopped)
        return false;
    for (;;) {
        long code = 0;
        LONG_PTR param1 = 0, param2 = 0;
        if (FAILED(events->GetEvent(&code, &param1, &param2, 0)))
            return true;
        events->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) {
            control->StopWhenReady();
            completed_ = true;
            return false;
        }
        // A failed graph would otherwise stay paused, and its task poll
        // for ever: end it, report it and keep no half-written file.
        if (IsErrorEvent(code)) {
            Fail();
            return false;
        }
    }
}

float CTranscodeTask::GetProgress()
{
    ComPtr<IMediaSeeking> seeking = seeking_;
    if (!seeking && (!graph_ || FAILED(graph_.As(&seeking))))
        return 0;
    if (duration_ == -1 && FAILED(seeking->GetDuration(&duration_))) {
        duration_ = -1;
        return 0;
    }
    DWORD capabilities = 0;
    seeking->GetCapabilities(&capabilities);
    LONGLONG current = 0;
    if (timeSource_) {
        timeSource_->GetMediaTime(&current);
    } else {
        if (!(capabilities & AM_SEEKING_CanGetCurrentPos))
            return 0;
        seeking->GetCurrentPosition(&current);
        LONGLONG stop = 0;
        if ((capabilities & AM_SEEKING_CanGetStopPos) && SUCCEEDED(seeking->GetStopPosition(&stop)) &&
            current >= stop) {
            ComPtr<IMediaControl> control;
            if (graph_ && SUCCEEDED(graph_.As(&control)))
                control->StopWhenReady();
        }
    }
    const double divisor = duration_ >= 1 ? double(duration_) : 1.0;
    return float(double(current) / divisor);
}

QString CTranscodeTask::GetDescription()
{
    return FormatString(IDS_TRANSFERRING, {name_});
}
