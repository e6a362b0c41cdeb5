#include "platform/dshow/output_pin.h"

#include "platform/dshow/mem_allocator.h"

CBaseOutputPin::CBaseOutputPin(const char* objectName, CBaseFilter* filter, FilterMutex* lock,
                               const char* pinName)
    : CBasePin(objectName, filter, lock, pinName, PINDIR_OUTPUT)
{
}

HRESULT CBaseOutputPin::CheckConnect(IPin* pin)
{
    const HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    // Pushing needs IMemInputPin on the other side.
    return pin->QueryInterface(IMemInputPin::iid, m_inputPin.ReleaseAndGetVoidAddress());
}

HRESULT CBaseOutputPin::CompleteConnect(IPin* receivePin)
{
    const HRESULT hr = DecideAllocator(m_inputPin.Get());
    if (SUCCEEDED(hr) && m_queueCapacity > 0) m_queue = std::make_unique<COutputQueue>(receivePin, m_queueCapacity);
    return hr;
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pin)
{
    ALLOCATOR_PROPERTIES request{0, 0, 0, 0};
    pin->GetAllocatorRequirements(&request);
    if (request.cbAlign == 0) request.cbAlign = 1;

    // The peer's allocator first, then one of our own.
    if (SUCCEEDED(pin->GetAllocator(m_allocator.ReleaseAndGetAddressOf())) &&
        SUCCEEDED(DecideBufferSize(m_allocator.Get(), &request)) &&
        SUCCEEDED(pin->NotifyAllocator(m_allocator.Get(), FALSE)))
        return S_OK;

    m_allocator.Reset();
    ComPtr<IMemAllocator> own(new CMemAllocator());
    HRESULT hr = DecideBufferSize(own.Get(), &request);
    if (SUCCEEDED(hr)) hr = pin->NotifyAllocator(own.Get(), FALSE);
    if (FAILED(hr)) return hr;
    m_allocator = own;
    return S_OK;
}

HRESULT CBaseOutputPin::BreakConnect()
{
    m_queue.reset();
    if (m_allocator) m_allocator->Decommit();
    m_allocator.Reset();
    m_inputPin.Reset();
    return S_OK;
}

HRESULT CBaseOutputPin::Active()
{
    if (!m_allocator) return VFW_E_NO_ALLOCATOR;
    const HRESULT hr = m_allocator->Commit();
    if (SUCCEEDED(hr) && m_queue) m_queue->Start();
    return hr;
}

HRESULT CBaseOutputPin::Inactive()
{
    if (!m_allocator) return VFW_E_NO_ALLOCATOR;
    const HRESULT hr = m_allocator->Decommit();
    if (m_queue) m_queue->Stop();
    return hr;
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                                          DWORD flags)
{
    if (!m_allocator) return VFW_E_NO_ALLOCATOR;
    return m_allocator->GetBuffer(sample, start, end, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample)
{
    if (!m_inputPin) return VFW_E_NOT_CONNECTED;
    return m_queue ? m_queue->Receive(sample) : m_inputPin->Receive(sample);
}

StreamResult CBaseOutputPin::DeliverNewSample(const std::function<HRESULT(IMediaSample*)>& fill)
{
    ComPtr<IMediaSample> sample;
    StreamResult result = StreamResult::Own(GetDeliveryBuffer(sample.ReleaseAndGetAddressOf(), nullptr, nullptr, 0));
    if (result.Ok()) result = StreamResult::Own(fill(sample.Get()));
    return result.Ok() ? DeliverSample(sample.Get()) : result;
}

HRESULT CBaseOutputPin::DeliverEndOfStream()
{
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_queue ? m_queue->EndOfStream() : m_connected->EndOfStream();
}

HRESULT CBaseOutputPin::DeliverBeginFlush()
{
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_queue ? m_queue->BeginFlush() : m_connected->BeginFlush();
}

HRESULT CBaseOutputPin::DeliverEndFlush()
{
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_queue ? m_queue->EndFlush() : m_connected->EndFlush();
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_queue ? m_queue->NewSegment(start, stop, rate) : m_connected->NewSegment(start, stop, rate);
}
