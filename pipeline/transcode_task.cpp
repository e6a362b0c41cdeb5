#include "pipeline/transcode_task.h"

#include <QFile>
#include <atomic>

#include "pipeline/device.h"
#include "pipeline/failure_cause.h"
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

// The graph's interface I; null once the graph is gone or when it lacks I.
template <class I>
ComPtr<I> GraphInterface(const CGraphContext& context)
{
    ComPtr<I> result;
    if (IGraphBuilder* graph = context.Graph())
        graph->QueryInterface(IID_PPV_ARGS(result.ReleaseAndGetAddressOf()));
    return result;
}

std::atomic<std::chrono::milliseconds::rep> g_stallLimitMs{std::chrono::milliseconds(std::chrono::minutes(2)).count()};

}  // namespace

void SetTaskStallLimit(std::chrono::milliseconds limit)
{
    g_stallLimitMs = limit.count();
}

std::chrono::milliseconds TaskStallLimit()
{
    return std::chrono::milliseconds(g_stallLimitMs.load());
}

CTranscodeTask::CTranscodeTask(CSourceDevice* source, CTargetDevice* target, const QString& name,
                               const QString& sourcePath, bool audioOnly, IGraphBuilder* graph)
    : m_context(name, sourcePath, audioOnly, graph), m_source(source), m_target(target)
{
}

bool CTranscodeTask::Start()
{
    CWaitCursor wait;
    m_sinceChange.start();
    const HRESULT hr = BuildAndRun();
    if (FAILED(hr)) {
        Fail(hr);
        return false;
    }
    return true;
}

HRESULT CTranscodeTask::BuildAndRun()
{
    IGraphBuilder* graph = m_context.Graph();
    if (!graph)
        return E_FAIL;
    CGraphContext* context = &m_context;
    HRESULT hr = m_target->PrepareGraph(m_source, context);
    if (SUCCEEDED(hr))
        hr = IsAudioOnly() ? m_source->BuildAudioGraph(m_target, context) : m_source->BuildVideoGraph(m_target, context);
    if (SUCCEEDED(hr))
        hr = m_target->FinishGraph(m_source, context);
    if (SUCCEEDED(hr))
        hr = m_source->FinishGraph(m_target, context);
    if (FAILED(hr))
        return hr;
    const ComPtr<IMediaFilter> mediaFilter = GraphInterface<IMediaFilter>(m_context);
    const ComPtr<IMediaControl> control = GraphInterface<IMediaControl>(m_context);
    if (!mediaFilter || !control)
        return E_FAIL;
    mediaFilter->SetSyncSource(nullptr);
    return control->Run();
}

// A graph that never ran can still hold a writer that created the file.
void CTranscodeTask::Fail(HRESULT failure)
{
    m_failure = failure;
    const QString cause = FailureCause(failure);
    ShowError(cause.isEmpty() ? LoadString(IDS_TRANSFER_ERROR) : LoadString(IDS_TRANSFER_ERROR) + u' ' + cause, false);
    Discard();
}

void CTranscodeTask::Discard()
{
    if (const ComPtr<IMediaControl> control = GraphInterface<IMediaControl>(m_context))
        control->Stop();
    const QString output = m_context.GetOutputPath();
    m_context.Release();
    if (!output.isEmpty())
        QFile::remove(output);
}

void CTranscodeTask::Abort()
{
    if (GraphInterface<IMediaControl>(m_context))
        Discard();
}

bool CTranscodeTask::Poll()
{
    const ComPtr<IMediaControl> control = GraphInterface<IMediaControl>(m_context);
    const ComPtr<IMediaEvent> events = GraphInterface<IMediaEvent>(m_context);
    if (m_completed || !control || !events)
        return false;
    OAFilterState state = State_Stopped;
    control->GetState(10, &state);
    if (state == State_Stopped) {
        // Only EC_COMPLETE means every writer reached its end; anything else
        // leaves a cut-off file that must not pass for a result.
        Fail(E_ABORT);
        return false;
    }
    for (;;) {
        long code = 0;
        LONG_PTR param1 = 0, param2 = 0;
        if (FAILED(events->GetEvent(&code, &param1, &param2, 0))) {
            if (!IsStalled())
                return true;
            // A graph that can neither finish nor fail would hold the queue for ever.
            Fail(VFW_E_TIMEOUT);
            return false;
        }
        events->FreeEventParams(code, param1, param2);
        m_sinceChange.restart();
        // EC_ERRORABORT and its kin carry the failure code first.
        const auto failure = static_cast<HRESULT>(param1);
        if (code == EC_COMPLETE) {
            // Stopping closes the writers: a file that fails to close is no result.
            const HRESULT closed = control->StopWhenReady();
            if (FAILED(closed))
                Fail(closed);
            else
                m_completed = true;
            return false;
        }
        // A failed graph would otherwise stay paused, and its task poll
        // for ever: end it, report it and keep no half-written file.
        if (IsErrorEvent(code)) {
            Fail(FAILED(failure) ? failure : E_FAIL);
            return false;
        }
    }
}

float CTranscodeTask::GetProgress()
{
    ComPtr<IMediaSeeking> seeking = m_context.MediaSeeking();
    if (!seeking)
        seeking = GraphInterface<IMediaSeeking>(m_context);
    if (!seeking)
        return 0;
    if (m_duration == -1 && FAILED(seeking->GetDuration(&m_duration))) {
        m_duration = -1;
        return 0;
    }
    DWORD capabilities = 0;
    seeking->GetCapabilities(&capabilities);
    LONGLONG current = 0;
    if (ITimeGrabber* timeSource = m_context.TimeSource()) {
        timeSource->GetMediaTime(&current);
    } else {
        if (!(capabilities & AM_SEEKING_CanGetCurrentPos))
            return 0;
        // Reaching the stop position is no reason to stop the graph here: the
        // writers would miss their end of stream. The source ends there itself.
        seeking->GetCurrentPosition(&current);
    }
    const double divisor = m_duration >= 1 ? double(m_duration) : 1.0;
    const float progress = float(double(current) / divisor);
    if (progress != m_lastProgress) {
        m_lastProgress = progress;
        m_sinceChange.restart();
    }
    return progress;
}

bool CTranscodeTask::IsStalled() const
{
    return m_sinceChange.isValid() && m_sinceChange.elapsed() > TaskStallLimit().count();
}

QString CTranscodeTask::GetDescription()
{
    return FormatString(IDS_TRANSFERRING, {GetName()});
}
