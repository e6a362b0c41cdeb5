// Media samples and the allocator that lends them out.
//
// A CMemAllocator owns a fixed pool of CMediaSample buffers. GetBuffer lends
// one out (waiting while all are lent); the sample's last Release returns it.
// Decommit wakes every waiter with VFW_E_NOT_COMMITTED, which is how a stop
// frees a streaming thread that waits for a buffer.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/dshow/pin_interfaces.h"

class CMemAllocator;

class CMediaSample final : public IMediaSample {
public:
    CMediaSample(CMemAllocator* allocator, LONG size);
    ~CMediaSample();
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    // The last release hands the buffer back to its allocator.
    ULONG Release() override;

    HRESULT GetPointer(BYTE** buffer) override;
    LONG GetSize() override { return m_size; }
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    HRESULT SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* end) override;
    HRESULT IsSyncPoint() override { return m_syncPoint ? S_OK : S_FALSE; }
    HRESULT SetSyncPoint(BOOL isSyncPoint) override;
    HRESULT IsPreroll() override { return m_preroll ? S_OK : S_FALSE; }
    HRESULT SetPreroll(BOOL isPreroll) override;
    LONG GetActualDataLength() override { return m_actualLength; }
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** type) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT IsDiscontinuity() override { return m_discontinuity ? S_OK : S_FALSE; }
    HRESULT SetDiscontinuity(BOOL isDiscontinuity) override;
    HRESULT GetMediaTime(LONGLONG* start, LONGLONG* end) override;
    HRESULT SetMediaTime(const LONGLONG* start, const LONGLONG* end) override;

    // Clears times, flags and type before the sample is lent out again.
    void ResetProperties();

private:
    CMemAllocator* m_allocator;
    std::unique_ptr<BYTE[]> m_buffer;
    LONG m_size;
    std::atomic<ULONG> m_refCount{0};
    LONG m_actualLength = 0;
    std::optional<REFERENCE_TIME> m_start, m_end;
    std::optional<LONGLONG> m_mediaStart, m_mediaEnd;
    bool m_syncPoint = false;
    bool m_preroll = false;
    bool m_discontinuity = false;
    std::unique_ptr<CMediaType> m_mediaType;
};

class CMemAllocator final : public CUnknown, public IMemAllocator {
public:
    CMemAllocator();
    ~CMemAllocator() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    // Fails with VFW_E_ALREADY_COMMITTED while committed or
    // VFW_E_BUFFERS_OUTSTANDING while samples are lent out.
    HRESULT SetProperties(const ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT Commit() override;
    HRESULT Decommit() override;
    HRESULT GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end, DWORD flags) override;
    HRESULT ReleaseBuffer(IMediaSample* sample) override;

private:
    std::mutex m_lock;
    std::condition_variable m_bufferFreed;
    ALLOCATOR_PROPERTIES m_properties{0, 0, 1, 0};
    bool m_committed = false;
    std::vector<std::unique_ptr<CMediaSample>> m_pool;  // every buffer made
    std::vector<CMediaSample*> m_free;                  // the ones not lent out
};
