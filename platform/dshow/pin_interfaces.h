// The interfaces through which pins connect and media data flows.
#pragma once

#include "platform/dshow/media_type.h"

struct IBaseFilter;
struct IPin;

struct PIN_INFO {
    IBaseFilter* pFilter;  // the caller releases it
    PIN_DIRECTION dir;
    OLECHAR achName[MAX_PIN_NAME];
};

struct IEnumMediaTypes : IUnknown {
    static constexpr IID iid = MakeGuid("{89C31040-846B-11CE-97D3-00AA0055595A}");
    // Hands out CreateMediaType copies that the caller frees with DeleteMediaType.
    virtual HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMediaTypes** copy) = 0;

protected:
    ~IEnumMediaTypes() = default;
};

struct IPin : IUnknown {
    static constexpr IID iid = MakeGuid("{56A86891-0AD4-11CE-B03A-0020AF0BA770}");
    // Called on an output pin: connect to `receivePin`, optionally with a (partial) type.
    virtual HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) = 0;
    // Called on an input pin by the output pin that connects to it.
    virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT Disconnect() = 0;
    virtual HRESULT ConnectedTo(IPin** pin) = 0;
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO* info) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* direction) = 0;
    // A CoTaskMemAlloc'ed copy of the pin's identifier.
    virtual HRESULT QueryId(LPOLESTR* id) = 0;
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT EnumMediaTypes(IEnumMediaTypes** types) = 0;
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;

protected:
    ~IPin() = default;
};

struct IEnumPins : IUnknown {
    static constexpr IID iid = MakeGuid("{56A86892-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumPins** copy) = 0;

protected:
    ~IEnumPins() = default;
};

struct IMediaSample : IUnknown {
    static constexpr IID iid = MakeGuid("{56A8689A-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT GetPointer(BYTE** buffer) = 0;
    virtual LONG GetSize() = 0;
    // VFW_E_SAMPLE_TIME_NOT_SET when the sample carries no time.
    virtual HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;
    // nullptr `start` clears the time.
    virtual HRESULT SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* end) = 0;
    virtual HRESULT IsSyncPoint() = 0;  // S_OK or S_FALSE
    virtual HRESULT SetSyncPoint(BOOL isSyncPoint) = 0;
    virtual HRESULT IsPreroll() = 0;
    virtual HRESULT SetPreroll(BOOL isPreroll) = 0;
    virtual LONG GetActualDataLength() = 0;
    virtual HRESULT SetActualDataLength(LONG length) = 0;
    // S_FALSE and nullptr when the type did not change with this sample.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE** type) = 0;
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT IsDiscontinuity() = 0;
    virtual HRESULT SetDiscontinuity(BOOL isDiscontinuity) = 0;
    virtual HRESULT GetMediaTime(LONGLONG* start, LONGLONG* end) = 0;
    virtual HRESULT SetMediaTime(const LONGLONG* start, const LONGLONG* end) = 0;

protected:
    ~IMediaSample() = default;
};

struct ALLOCATOR_PROPERTIES {
    LONG cBuffers;
    LONG cbBuffer;
    LONG cbAlign;
    LONG cbPrefix;
};

struct IMemAllocator : IUnknown {
    static constexpr IID iid = MakeGuid("{56A8689C-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT SetProperties(const ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) = 0;
    virtual HRESULT GetProperties(ALLOCATOR_PROPERTIES* properties) = 0;
    virtual HRESULT Commit() = 0;
    // Wakes every GetBuffer waiter with VFW_E_NOT_COMMITTED.
    virtual HRESULT Decommit() = 0;
    // Waits for a free buffer unless AM_GBF_NOWAIT is set.
    virtual HRESULT GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end, DWORD flags) = 0;
    virtual HRESULT ReleaseBuffer(IMediaSample* sample) = 0;

protected:
    ~IMemAllocator() = default;
};

inline constexpr DWORD AM_GBF_NOWAIT = 4;

struct IMemInputPin : IUnknown {
    static constexpr IID iid = MakeGuid("{56A8689D-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT GetAllocator(IMemAllocator** allocator) = 0;
    virtual HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) = 0;
    virtual HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) = 0;
    // S_OK: go on; S_FALSE: deliver no more until the next flush; failure: stop.
    virtual HRESULT Receive(IMediaSample* sample) = 0;
    virtual HRESULT ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) = 0;
    virtual HRESULT ReceiveCanBlock() = 0;

protected:
    ~IMemInputPin() = default;
};

// Random access to a byte stream (MEDIATYPE_Stream output pins).
struct IAsyncReader : IUnknown {
    static constexpr IID iid = MakeGuid("{56A868AA-0AD4-11CE-B03A-0020AF0BA770}");
    // S_OK when all `length` bytes were read, S_FALSE at the end of the stream
    // (the rest of the buffer is untouched), a failure code otherwise.
    virtual HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) = 0;
    // `available` may be less than `total` while a stream still arrives.
    virtual HRESULT Length(LONGLONG* total, LONGLONG* available) = 0;
    // Makes pending and later reads fail at once with VFW_E_WRONG_STATE
    // until EndFlush, so that a stop never waits on a slow medium.
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;

protected:
    ~IAsyncReader() = default;
};

// Byte access for writers: a multiplexer writes at any offset and may read back.
struct ISequentialStream : IUnknown {
    static constexpr IID iid = MakeGuid("{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
    virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;

protected:
    ~ISequentialStream() = default;
};

enum STREAM_SEEK { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

struct IStream : ISequentialStream {
    static constexpr IID iid = MakeGuid("{0000000C-0000-0000-C000-000000000046}");
    virtual HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) = 0;
    virtual HRESULT SetSize(uint64_t size) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;

protected:
    ~IStream() = default;
};
