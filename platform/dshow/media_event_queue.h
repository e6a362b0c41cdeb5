// The queue of events that a graph hands to the application (IMediaEvent).
// Filters post from streaming threads; the application reads with a time-out.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/dshow/dshow_types.h"

class CMediaEventQueue {
public:
    struct Event {
        long code;
        LONG_PTR param1;
        LONG_PTR param2;
    };

    // Any thread. EC_COMPLETE, EC_ERRORABORT and EC_USERABORT also end the
    // wait of WaitForCompletion.
    void Post(const Event& event);
    // E_ABORT when nothing arrived within `timeoutMs` (INFINITE waits).
    HRESULT Get(Event* event, long timeoutMs);
    // The code that ended the run, E_ABORT on time-out; leaves the queue alone.
    HRESULT WaitForCompletion(long timeoutMs, long* code);
    // Forgets the earlier run, its completion and its unread events: a
    // stopped graph that runs again reports only what this run does.
    void BeginRun();

private:
    template <class Predicate>
    bool WaitFor(std::unique_lock<std::mutex>& lock, long timeoutMs, Predicate ready);

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Event> m_events;
    std::optional<long> m_completion;
};
