#include "platform/dshow/mem_allocator.h"

#include <algorithm>

CMediaSample::CMediaSample(CMemAllocator* allocator, LONG size)
    : m_allocator(allocator), m_buffer(new BYTE[size > 0 ? size : 1]), m_size(size)
{
}

CMediaSample::~CMediaSample() = default;

HRESULT CMediaSample::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IMediaSample::iid) return GetInterface(static_cast<IMediaSample*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CMediaSample::AddRef() { return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1; }

ULONG CMediaSample::Release()
{
    const ULONG remaining = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (remaining == 0) m_allocator->ReleaseBuffer(this);
    return remaining;
}

HRESULT CMediaSample::GetPointer(BYTE** buffer)
{
    if (!buffer) return E_POINTER;
    *buffer = m_buffer.get();
    return S_OK;
}

HRESULT CMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end)
{
    if (!start || !end) return E_POINTER;
    if (!m_start) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = *m_start;
    *end = m_end.value_or(*m_start + 1);
    return m_end ? S_OK : MakeHResult(0x00040270);  // VFW_S_NO_STOP_TIME
}

HRESULT CMediaSample::SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* end)
{
    m_start.reset();
    m_end.reset();
    if (start) m_start = *start;
    if (start && end) m_end = *end;
    return S_OK;
}

HRESULT CMediaSample::SetSyncPoint(BOOL isSyncPoint)
{
    m_syncPoint = isSyncPoint != 0;
    return S_OK;
}

HRESULT CMediaSample::SetPreroll(BOOL isPreroll)
{
    m_preroll = isPreroll != 0;
    return S_OK;
}

HRESULT CMediaSample::SetActualDataLength(LONG length)
{
    if (length < 0 || length > m_size) return VFW_E_BUFFER_OVERFLOW;
    m_actualLength = length;
    return S_OK;
}

HRESULT CMediaSample::GetMediaType(AM_MEDIA_TYPE** type)
{
    if (!type) return E_POINTER;
    *type = nullptr;
    if (!m_mediaType) return S_FALSE;
    *type = CreateMediaType(m_mediaType.get());
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMediaSample::SetMediaType(const AM_MEDIA_TYPE* type)
{
    if (type)
        m_mediaType = std::make_unique<CMediaType>(*type);
    else
        m_mediaType.reset();
    return S_OK;
}

HRESULT CMediaSample::SetDiscontinuity(BOOL isDiscontinuity)
{
    m_discontinuity = isDiscontinuity != 0;
    return S_OK;
}

HRESULT CMediaSample::GetMediaTime(LONGLONG* start, LONGLONG* end)
{
    if (!start || !end) return E_POINTER;
    if (!m_mediaStart) return MakeHResult(0x80040251);  // VFW_E_MEDIA_TIME_NOT_SET
    *start = *m_mediaStart;
    *end = m_mediaEnd.value_or(*m_mediaStart);
    return S_OK;
}

HRESULT CMediaSample::SetMediaTime(const LONGLONG* start, const LONGLONG* end)
{
    m_mediaStart.reset();
    m_mediaEnd.reset();
    if (start) m_mediaStart = *start;
    if (start && end) m_mediaEnd = *end;
    return S_OK;
}

void CMediaSample::ResetProperties()
{
    m_actualLength = 0;
    m_start.reset();
    m_end.reset();
    m_mediaStart.reset();
    m_mediaEnd.reset();
    m_syncPoint = m_preroll = m_discontinuity = false;
    m_mediaType.reset();
}

CMemAllocator::CMemAllocator() : CUnknown("memory allocator") {}

CMemAllocator::~CMemAllocator() = default;

HRESULT CMemAllocator::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IMemAllocator::iid)
        return GetInterface(static_cast<IMemAllocator*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CMemAllocator::SetProperties(const ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual)
{
    if (!request || !actual) return E_POINTER;
    if (request->cBuffers <= 0 || request->cbBuffer < 0) return E_INVALIDARG;
    std::lock_guard lock(m_lock);
    if (m_committed) return VFW_E_ALREADY_COMMITTED;
    if (m_free.size() != m_pool.size()) return VFW_E_BUFFERS_OUTSTANDING;
    m_properties = *request;
    m_properties.cbAlign = std::max<LONG>(1, request->cbAlign);
    m_properties.cbPrefix = 0;
    *actual = m_properties;
    return S_OK;
}

HRESULT CMemAllocator::GetProperties(ALLOCATOR_PROPERTIES* properties)
{
    if (!properties) return E_POINTER;
    std::lock_guard lock(m_lock);
    *properties = m_properties;
    return S_OK;
}

HRESULT CMemAllocator::Commit()
{
    std::lock_guard lock(m_lock);
    if (m_committed) return S_OK;
    const bool sizeChanged = !m_pool.empty() && m_pool.front()->GetSize() != m_properties.cbBuffer;
    if (m_pool.size() != static_cast<size_t>(m_properties.cBuffers) || sizeChanged) {
        if (m_free.size() != m_pool.size()) return VFW_E_BUFFERS_OUTSTANDING;
        m_free.clear();
        m_pool.clear();
        for (LONG i = 0; i < m_properties.cBuffers; ++i) {
            m_pool.push_back(std::make_unique<CMediaSample>(this, m_properties.cbBuffer));
            m_free.push_back(m_pool.back().get());
        }
    }
    m_committed = true;
    return S_OK;
}

HRESULT CMemAllocator::Decommit()
{
    {
        std::lock_guard lock(m_lock);
        m_committed = false;
    }
    m_bufferFreed.notify_all();
    return S_OK;
}

HRESULT CMemAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end, DWORD flags)
{
    if (!sample) return E_POINTER;
    *sample = nullptr;
    CMediaSample* lent = nullptr;
    {
        std::unique_lock lock(m_lock);
        if (!m_committed) return VFW_E_NOT_COMMITTED;
        if (m_free.empty() && (flags & AM_GBF_NOWAIT)) return VFW_E_TIMEOUT;
        m_bufferFreed.wait(lock, [&] { return !m_committed || !m_free.empty(); });
        if (!m_committed) return VFW_E_NOT_COMMITTED;
        lent = m_free.back();
        m_free.pop_back();
    }
    // Each lent sample keeps the allocator alive until it comes back.
    NonDelegatingAddRef();
    lent->ResetProperties();
    if (start) lent->SetTime(start, end);
    lent->AddRef();
    *sample = lent;
    return S_OK;
}

HRESULT CMemAllocator::ReleaseBuffer(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    {
        std::lock_guard lock(m_lock);
        m_free.push_back(static_cast<CMediaSample*>(sample));
    }
    m_bufferFreed.notify_one();
    NonDelegatingRelease();
    return S_OK;
}
