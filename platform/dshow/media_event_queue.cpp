#include "platform/dshow/media_event_queue.h"

#include <chrono>

void CMediaEventQueue::Post(const Event& event)
{
    {
        std::lock_guard lock(m_lock);
        m_events.push_back(event);
        const bool ends = event.code == EC_COMPLETE || event.code == EC_ERRORABORT || event.code == EC_USERABORT;
        if (ends && !m_completion) m_completion = event.code;
    }
    m_changed.notify_all();
}

template <class Predicate>
bool CMediaEventQueue::WaitFor(std::unique_lock<std::mutex>& lock, long timeoutMs, Predicate ready)
{
    if (static_cast<DWORD>(timeoutMs) == INFINITE) {
        m_changed.wait(lock, ready);
        return true;
    }
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs), ready);
}

HRESULT CMediaEventQueue::Get(Event* event, long timeoutMs)
{
    std::unique_lock lock(m_lock);
    if (!WaitFor(lock, timeoutMs, [this] { return !m_events.empty(); })) return E_ABORT;
    *event = m_events.front();
    m_events.pop_front();
    return S_OK;
}

HRESULT CMediaEventQueue::WaitForCompletion(long timeoutMs, long* code)
{
    std::unique_lock lock(m_lock);
    if (!WaitFor(lock, timeoutMs, [this] { return m_completion.has_value(); })) return E_ABORT;
    *code = *m_completion;
    return S_OK;
}

void CMediaEventQueue::BeginRun()
{
    std::lock_guard lock(m_lock);
    m_completion.reset();
    m_events.clear();
}
