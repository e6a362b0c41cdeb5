#include "platform/dshow/base_renderer.h"

#include <chrono>

// Input pin

CRendererInputPin::CRendererInputPin(CBaseRenderer* renderer, const char* pinName)
    : CBaseInputPin("renderer input pin", renderer, renderer->FilterLock(), pinName), m_renderer(renderer)
{
}

HRESULT CRendererInputPin::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (SUCCEEDED(m_renderer->GetInputPinInterface(riid, object))) return S_OK;
    return CBaseInputPin::NonDelegatingQueryInterface(riid, object);
}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* type) { return m_renderer->CheckMediaType(type); }

HRESULT CRendererInputPin::SetMediaType(const CMediaType* type)
{
    const HRESULT hr = CBaseInputPin::SetMediaType(type);
    return FAILED(hr) ? hr : m_renderer->SetMediaType(type);
}

HRESULT CRendererInputPin::Receive(IMediaSample* sample)
{
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_renderer->Receive(sample);
}

HRESULT CRendererInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return m_renderer->EndOfStream();
}

HRESULT CRendererInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    m_renderer->BeginFlush();
    return S_OK;
}

HRESULT CRendererInputPin::EndFlush()
{
    m_renderer->EndFlush();
    return CBaseInputPin::EndFlush();
}

// Renderer

CBaseRenderer::CBaseRenderer(const char* objectName, REFCLSID clsid, const char* pinName)
    : CBaseFilter(objectName, clsid),
      m_input(this, pinName),
      m_position(std::make_unique<CRendererPosPassThru>("renderer seeking", this, &m_input))
{
}

CBaseRenderer::~CBaseRenderer() = default;

HRESULT CBaseRenderer::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IAMFilterMiscFlags::iid) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), object);
    if (riid == IMediaSeeking::iid) return GetInterface(static_cast<IMediaSeeking*>(m_position.get()), object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

CBasePin* CBaseRenderer::GetPin(int index) { return index == 0 ? &m_input : nullptr; }

HRESULT CBaseRenderer::Stop()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped()) return S_OK;
    {
        std::lock_guard render(m_renderLock);
        m_renderState = State_Stopped;
    }
    m_renderStateChanged.notify_all();
    const HRESULT hr = CBaseFilter::Stop();
    // Waits for a sample being rendered to finish.
    std::lock_guard streaming(m_streamLock);
    const HRESULT stopped = OnStopStreaming();
    return FAILED(hr) ? hr : stopped;
}

HRESULT CBaseRenderer::Pause()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped()) {
        const HRESULT hr = OnStartStreaming();
        if (FAILED(hr)) return hr;
        std::lock_guard render(m_renderLock);
        m_haveSample = m_endOfStream = m_completeSent = false;
        m_position->ResetMediaTime();
    }
    const bool starting = IsStopped();
    const HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr)) {
        if (starting) OnStopStreaming();
        return hr;
    }
    {
        std::lock_guard render(m_renderLock);
        m_renderState = State_Paused;
    }
    m_renderStateChanged.notify_all();
    return S_OK;
}

HRESULT CBaseRenderer::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(m_filterLock);
    HRESULT hr = CBaseFilter::Run(start);
    if (FAILED(hr)) return hr;
    std::unique_lock render(m_renderLock);
    m_renderState = State_Running;
    m_renderStateChanged.notify_all();
    // An end of stream that came while paused completes now.
    SendCompleteIfDue(render);
    return S_OK;
}

HRESULT CBaseRenderer::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    std::unique_lock render(m_renderLock);
    *state = m_renderState;
    if (m_renderState != State_Paused) return S_OK;
    const auto cued = [&] {
        return m_haveSample || m_endOfStream || m_renderState != State_Paused || !m_input.IsConnected();
    };
    bool ready;
    if (timeoutMs == INFINITE) {
        m_renderStateChanged.wait(render, cued);
        ready = true;
    } else {
        ready = m_renderStateChanged.wait_for(render, std::chrono::milliseconds(timeoutMs), cued);
    }
    *state = m_renderState;
    return ready ? S_OK : VFW_S_STATE_INTERMEDIATE;
}

bool CBaseRenderer::WaitForRunning(std::unique_lock<std::mutex>& lock)
{
    m_renderStateChanged.wait(lock, [&] { return m_renderState != State_Paused || m_flushing; });
    return m_renderState == State_Running && !m_flushing;
}

bool CBaseRenderer::WaitForRenderTime(std::unique_lock<std::mutex>& lock, IMediaSample* sample)
{
    REFERENCE_TIME start, end;
    const ComPtr<IReferenceClock> clock = Clock();
    if (!clock || !RendersInTime() || FAILED(sample->GetTime(&start, &end))) return true;
    const REFERENCE_TIME due = StartTime() + start;
    for (;;) {
        REFERENCE_TIME now;
        if (FAILED(clock->GetTime(&now)) || now >= due) return true;
        // Wake at least every 10 ms: the clock may not be the wall clock.
        const auto wait = std::chrono::microseconds(std::min<REFERENCE_TIME>(due - now, 10 * MILLISECONDS) / 10);
        m_renderStateChanged.wait_for(lock, wait);
        if (m_renderState != State_Running || m_flushing) return false;
    }
}

void CBaseRenderer::SendCompleteIfDue(std::unique_lock<std::mutex>& lock)
{
    if (!m_endOfStream || m_completeSent || m_renderState != State_Running) return;
    m_completeSent = true;
    lock.unlock();
    m_position->EndOfStream();
    NotifyEvent(EC_COMPLETE, S_OK, 0);
    lock.lock();
}

HRESULT CBaseRenderer::Receive(IMediaSample* sample)
{
    std::lock_guard streaming(m_streamLock);
    std::unique_lock render(m_renderLock);
    if (m_endOfStream) return VFW_E_SAMPLE_REJECTED_EOS;
    for (;;) {
        if (m_renderState == State_Paused) {
            m_haveSample = true;
            m_renderStateChanged.notify_all();
            if (!WaitForRunning(render)) return m_flushing ? S_FALSE : VFW_E_WRONG_STATE;
        }
        if (m_renderState != State_Running) return VFW_E_WRONG_STATE;
        if (WaitForRenderTime(render, sample)) break;
        // Paused while the sample waited for its time: it is held, and its
        // time counts again from the start the next run gives.
        if (m_flushing || m_renderState != State_Paused) return m_flushing ? S_FALSE : VFW_E_WRONG_STATE;
    }
    render.unlock();

    const StreamResult result = StreamResult::Own(DoRenderSample(sample));
    if (!result.Ok()) return m_input.Settle(result);
    REFERENCE_TIME start, end;
    if (RendersInTime() && SUCCEEDED(sample->GetTime(&start, &end))) m_position->RegisterMediaTime(start);
    return S_OK;
}

HRESULT CBaseRenderer::EndOfStream()
{
    std::lock_guard streaming(m_streamLock);
    const StreamResult result = StreamResult::Own(OnEndOfStream());
    if (!result.Ok()) return m_input.Settle(result);
    std::unique_lock render(m_renderLock);
    m_endOfStream = true;
    m_renderStateChanged.notify_all();
    SendCompleteIfDue(render);
    return S_OK;
}

void CBaseRenderer::BeginFlush()
{
    {
        std::lock_guard render(m_renderLock);
        m_flushing = true;
    }
    m_renderStateChanged.notify_all();
}

void CBaseRenderer::EndFlush()
{
    std::lock_guard render(m_renderLock);
    m_flushing = false;
    m_haveSample = m_endOfStream = m_completeSent = false;
    m_position->ResetMediaTime();
}
