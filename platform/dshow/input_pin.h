// CBaseInputPin: an input pin that receives pushed samples.
//
// Receive runs on the upstream filter's streaming thread. The base checks
// that streaming may go on (connected, not stopped, not flushing, no earlier
// error); derived pins call it first and then process the sample.
#pragma once

#include "platform/dshow/base_pin.h"
#include "platform/dshow/stream_result.h"

class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(const char* objectName, CBaseFilter* filter, FilterMutex* lock, const char* pinName);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IMemInputPin
    HRESULT GetAllocator(IMemAllocator** allocator) override;
    HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) override;
    HRESULT ReceiveCanBlock() override { return S_OK; }

    // IPin stream control; derived pins pass these on and call the base.
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    HRESULT BreakConnect() override;
    // Decommits the allocator, so an upstream thread waiting for a buffer
    // wakes up and sees the stop.
    HRESULT Inactive() override;

    // S_OK while samples may be processed; S_FALSE while flushing.
    HRESULT CheckStreaming();
    bool IsFlushing() const { return m_flushing.load(); }
    // Streaming thread: ends a Receive or EndOfStream. An own failure marks
    // the stream as failed (the rest of it is refused until the next stop or
    // flush) and the graph hears EC_ERRORABORT once; stops and downstream
    // refusals stay quiet. Returns the code to give upstream.
    HRESULT Settle(const StreamResult& result);

protected:
    // A type that a sample announces becomes the connection's type; one the
    // pin refuses (or fails to set) ends the stream as an own failure.
    // Takes the pin's lock, so a filter whose streaming lock comes after it
    // must call this before taking that one.
    HRESULT AcceptTypeChange(IMediaSample* sample);

    ComPtr<IMemAllocator> m_allocator;
    std::atomic<bool> m_flushing{false};
    std::atomic<bool> m_runTimeError{false};
};
