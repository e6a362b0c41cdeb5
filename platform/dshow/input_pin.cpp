#include "platform/dshow/input_pin.h"

#include "platform/dshow/mem_allocator.h"

CBaseInputPin::CBaseInputPin(const char* objectName, CBaseFilter* filter, FilterMutex* lock,
                             const char* pinName)
    : CBasePin(objectName, filter, lock, pinName, PINDIR_INPUT)
{
}

HRESULT CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IMemInputPin::iid) return GetInterface(static_cast<IMemInputPin*>(this), object);
    return CBasePin::NonDelegatingQueryInterface(riid, object);
}

HRESULT CBaseInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator) return E_POINTER;
    std::lock_guard lock(*m_lock);
    if (!m_allocator) m_allocator = new CMemAllocator();
    return m_allocator.CopyTo(allocator);
}

HRESULT CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL)
{
    if (!allocator) return E_POINTER;
    std::lock_guard lock(*m_lock);
    m_allocator = allocator;
    return S_OK;
}

HRESULT CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT CBaseInputPin::CheckStreaming()
{
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (m_flushing) return S_FALSE;
    if (m_runTimeError) return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT CBaseInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return AcceptTypeChange(sample);
}

HRESULT CBaseInputPin::AcceptTypeChange(IMediaSample* sample)
{
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) != S_OK || !changed) return S_OK;
    const CMediaType type(*changed);
    DeleteMediaType(changed);
    // Under the pin's lock like any other change of the connection's type,
    // so a thread reading the type never sees half of one.
    std::lock_guard lock(*m_lock);
    if (CheckMediaType(&type) == S_OK && SUCCEEDED(SetMediaType(&type))) return S_OK;
    return Settle(StreamResult::Own(VFW_E_TYPE_NOT_ACCEPTED));
}

HRESULT CBaseInputPin::ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed)
{
    if (!samples || !processed) return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

HRESULT CBaseInputPin::EndOfStream() { return CheckStreaming(); }

HRESULT CBaseInputPin::BeginFlush()
{
    m_flushing = true;
    return S_OK;
}

HRESULT CBaseInputPin::EndFlush()
{
    m_flushing = false;
    m_runTimeError = false;
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect()
{
    if (m_allocator) m_allocator->Decommit();
    m_allocator.Reset();
    return S_OK;
}

HRESULT CBaseInputPin::Inactive()
{
    m_runTimeError = false;
    m_flushing = false;
    if (m_allocator) m_allocator->Decommit();
    return S_OK;
}

HRESULT CBaseInputPin::Settle(const StreamResult& result)
{
    if (result.IsOwnFailure() && !m_runTimeError.exchange(true))
        m_filter->NotifyEvent(EC_ERRORABORT, result.code(), 0);
    return result.code();
}
