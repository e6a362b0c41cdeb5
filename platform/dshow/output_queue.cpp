#include "platform/dshow/output_queue.h"

COutputQueue::COutputQueue(IPin* input, size_t capacity) : m_pin(input), m_capacity(capacity)
{
    m_pin.As(&m_input);
}

COutputQueue::~COutputQueue() { Stop(); }

void COutputQueue::Start()
{
    std::lock_guard lock(m_lock);
    if (m_running) return;
    m_running = true;
    m_flushing = false;
    m_result = S_OK;
    m_thread = std::thread(&COutputQueue::ThreadProc, this);
}

void COutputQueue::Stop()
{
    {
        std::lock_guard lock(m_lock);
        m_running = false;
        m_items.clear();
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

HRESULT COutputQueue::Enqueue(Item item)
{
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [this] { return !m_running || m_flushing || m_items.size() < m_capacity; });
    if (!m_running) return VFW_E_WRONG_STATE;
    if (m_flushing) return S_FALSE;
    if (FAILED(m_result)) return m_result;
    m_items.push_back(std::move(item));
    m_changed.notify_all();
    return S_OK;
}

HRESULT COutputQueue::Receive(IMediaSample* sample) { return Enqueue(ComPtr<IMediaSample>(sample)); }

HRESULT COutputQueue::EndOfStream() { return Enqueue(EndOfStreamItem{}); }

HRESULT COutputQueue::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return Enqueue(SegmentItem{start, stop, rate});
}

HRESULT COutputQueue::BeginFlush()
{
    {
        std::lock_guard lock(m_lock);
        m_flushing = true;
        m_items.clear();
    }
    m_changed.notify_all();
    // Downstream first, so whatever the thread is delivering returns quickly.
    return m_pin->BeginFlush();
}

HRESULT COutputQueue::EndFlush()
{
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return !m_delivering; });
        m_flushing = false;
        m_result = S_OK;
    }
    m_changed.notify_all();
    return m_pin->EndFlush();
}

void COutputQueue::ThreadProc()
{
    for (;;) {
        Item item;
        {
            std::unique_lock lock(m_lock);
            m_changed.wait(lock, [this] { return !m_running || !m_items.empty(); });
            if (!m_running) return;
            item = std::move(m_items.front());
            m_items.pop_front();
            m_delivering = true;
        }
        m_changed.notify_all();
        Deliver(item);
        {
            std::lock_guard lock(m_lock);
            m_delivering = false;
        }
        m_changed.notify_all();
    }
}

void COutputQueue::Deliver(const Item& item)
{
    if (const auto* sample = std::get_if<ComPtr<IMediaSample>>(&item)) {
        if (!m_input) return;
        const HRESULT hr = m_input->Receive(sample->Get());
        if (hr != S_OK) {
            std::lock_guard lock(m_lock);
            // S_FALSE (downstream wants no more) stops the producer like a failure.
            if (SUCCEEDED(m_result)) m_result = FAILED(hr) ? hr : VFW_E_WRONG_STATE;
        }
    } else if (std::holds_alternative<EndOfStreamItem>(item)) {
        m_pin->EndOfStream();
    } else {
        const auto& segment = std::get<SegmentItem>(item);
        m_pin->NewSegment(segment.start, segment.stop, segment.rate);
    }
}
