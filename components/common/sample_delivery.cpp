#include "components/common/sample_delivery.h"

#include <algorithm>
#include <cstring>

HRESULT SetBufferProperties(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& request, LONG count, LONG size)
{
    if (size <= 0) return VFW_E_SIZENOTSET;
    ALLOCATOR_PROPERTIES wanted = request;
    wanted.cBuffers = std::max(wanted.cBuffers, count);
    wanted.cbBuffer = std::max(wanted.cbBuffer, size);
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < size ? E_FAIL : S_OK;
}

StreamResult DeliverBytes(CBaseOutputPin* pin, const BYTE* data, LONG size, REFERENCE_TIME start, REFERENCE_TIME end)
{
    return pin->DeliverNewSample([&](IMediaSample* sample) {
        BYTE* target = nullptr;
        const HRESULT hr = sample->GetPointer(&target);
        if (FAILED(hr)) return hr;
        if (size > sample->GetSize()) return VFW_E_BUFFER_OVERFLOW;
        std::memcpy(target, data, static_cast<size_t>(size));
        sample->SetActualDataLength(size);
        sample->SetTime(&start, &end);
        sample->SetSyncPoint(TRUE);
        return S_OK;
    });
}
