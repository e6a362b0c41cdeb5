// COutputQueue: hands samples and stream notices to a downstream pin from a
// thread of its own, in order, so that the filter upstream can work on the
// next sample while the filters downstream work on this one (one core
// decodes while the other encodes).
//
// It lives as long as the connection; Start and Stop follow the pin's
// Active and Inactive. A downstream failure is kept and returned to the
// producer from then on, so the producer stops as if it had delivered
// directly.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <variant>

#include "platform/dshow/pin_interfaces.h"

class COutputQueue {
public:
    // `input` must expose IMemInputPin; at most `capacity` items wait.
    COutputQueue(IPin* input, size_t capacity);
    ~COutputQueue();
    COutputQueue(const COutputQueue&) = delete;
    COutputQueue& operator=(const COutputQueue&) = delete;

    void Start();
    // Drops what waits, makes producers fail fast, joins the thread.
    void Stop();

    // Producer side (a streaming thread). Receive waits while the queue is
    // full; it returns the first downstream failure once there was one.
    HRESULT Receive(IMediaSample* sample);
    HRESULT EndOfStream();
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    // Flushes go downstream at once; queued samples are dropped.
    HRESULT BeginFlush();
    HRESULT EndFlush();

private:
    struct EndOfStreamItem {};
    struct SegmentItem {
        REFERENCE_TIME start, stop;
        double rate;
    };
    using Item = std::variant<ComPtr<IMediaSample>, EndOfStreamItem, SegmentItem>;

    HRESULT Enqueue(Item item);
    void ThreadProc();
    void Deliver(const Item& item);

    ComPtr<IPin> m_pin;
    ComPtr<IMemInputPin> m_input;
    const size_t m_capacity;

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Item> m_items;
    bool m_running = false;
    bool m_flushing = false;
    bool m_delivering = false;  // the thread is handing an item downstream
    HRESULT m_result = S_OK;    // first failure of a downstream Receive
    std::thread m_thread;
};
