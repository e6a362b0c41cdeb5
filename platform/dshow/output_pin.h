// CBaseOutputPin: an output pin that pushes samples into a peer's IMemInputPin.
//
// On connection it agrees an allocator with the peer (the peer's, else its
// own) and sizes it through DecideBufferSize. Active commits the allocator,
// Inactive decommits it, which frees a streaming thread waiting for a buffer.
//
// A pin that calls UseDeliveryQueue hands what it delivers to a thread of
// its own (COutputQueue), so its filter and the ones downstream run in
// parallel.
#pragma once

#include <functional>
#include <memory>

#include "platform/dshow/base_pin.h"
#include "platform/dshow/output_queue.h"
#include "platform/dshow/stream_result.h"

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(const char* objectName, CBaseFilter* filter, FilterMutex* lock, const char* pinName);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // An output pin receives no stream control from upstream.
    HRESULT EndOfStream() override { return E_UNEXPECTED; }
    HRESULT BeginFlush() override { return E_UNEXPECTED; }
    HRESULT EndFlush() override { return E_UNEXPECTED; }

    // Sets the allocator's buffer count and size, given the peer's wishes.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;

    // Streaming thread: a free buffer (waits while all are in use).
    HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end, DWORD flags);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    // Streaming thread: the one way filters deliver. A free buffer, written
    // by `fill` (the filter's own work), then delivered; or a sample that
    // exists already; or the end of the stream. What comes back is sorted
    // as StreamResult says.
    StreamResult DeliverNewSample(const std::function<HRESULT(IMediaSample*)>& fill);
    StreamResult DeliverSample(IMediaSample* sample) { return StreamResult::Delivery(Deliver(sample)); }
    StreamResult DeliverStreamEnd() { return StreamResult::Delivery(DeliverEndOfStream()); }

    // Call before connecting; at most `capacity` samples wait in the queue.
    void UseDeliveryQueue(size_t capacity) { m_queueCapacity = capacity; }

protected:
    ComPtr<IMemAllocator> m_allocator;
    ComPtr<IMemInputPin> m_inputPin;

private:
    HRESULT DecideAllocator(IMemInputPin* pin);

    size_t m_queueCapacity = 0;
    std::unique_ptr<COutputQueue> m_queue;  // exists while connected, if used
};
