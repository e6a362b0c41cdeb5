// CAsyncReaderPin: the "Output" pin of a pull source (File Source (Async.),
// the network source), offering MEDIATYPE_Stream through IAsyncReader.
//
// Nothing is pushed: the downstream filter pulls bytes from its own streaming
// thread, so the pin needs no IMemInputPin on its peer. The pin checks the
// callers' arguments and hands the reads to its filter's CAsyncByteSource.
#pragma once

#include <string>

#include "platform/dshow/base_pin.h"

// Where a reader pin's bytes come from; the filter that owns the pin.
// Every method may be called from any thread at any time and must not take
// the filter lock.
class CAsyncByteSource {
public:
    // As IAsyncReader::SyncRead, with arguments already checked (position and
    // length not negative, a buffer for a non-empty read, no overflow).
    virtual HRESULT Read(LONGLONG position, LONG length, BYTE* buffer) = 0;
    // As IAsyncReader::Length; VFW_E_NOT_CONNECTED before anything is loaded.
    virtual HRESULT Size(LONGLONG* total, LONGLONG* available) = 0;
    // IAsyncReader's BeginFlush (true) and EndFlush (false): while flushing,
    // pending and new reads fail at once with VFW_E_WRONG_STATE.
    virtual void SetFlushing(bool flushing) = 0;
    // MEDIATYPE_Stream with the loaded sub type (GUID_NULL: unknown, any).
    virtual CMediaType OfferedType() = 0;

protected:
    ~CAsyncByteSource() = default;
};

// IPin and IAsyncReader both declare BeginFlush and EndFlush with one
// signature but opposite meanings (stream control that an output pin never
// receives, against "make reads fail fast"). This shim gives the reader's
// pair names of its own, so the pin can implement both interfaces.
struct CAsyncReaderShim : IAsyncReader {
    HRESULT BeginFlush() final { return BeginReaderFlush(); }
    HRESULT EndFlush() final { return EndReaderFlush(); }
    virtual HRESULT BeginReaderFlush() = 0;
    virtual HRESULT EndReaderFlush() = 0;

protected:
    ~CAsyncReaderShim() = default;
};

// The IPin side of the same clash.
class CAsyncOutputPinBase : public CBasePin {
public:
    using CBasePin::CBasePin;
    // An output pin receives no stream control from upstream.
    HRESULT EndOfStream() override { return E_UNEXPECTED; }
    HRESULT BeginFlush() override { return E_UNEXPECTED; }
    HRESULT EndFlush() override { return E_UNEXPECTED; }
};

// The pin lives inside its filter and counts on the filter's references.
class CAsyncReaderPin final : public CAsyncOutputPinBase, public CAsyncReaderShim {
public:
    // `source` is usually `filter` itself; both outlive the pin.
    CAsyncReaderPin(CBaseFilter* filter, CAsyncByteSource* source);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // MEDIATYPE_Stream with the offered sub type; an unknown (GUID_NULL) sub
    // type lets the peer say what it reads the bytes as.
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;

    // IAsyncReader
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Length(LONGLONG* total, LONGLONG* available) override;
    HRESULT BeginReaderFlush() override;
    HRESULT EndReaderFlush() override;

private:
    CAsyncByteSource* const m_source;
};

// The stream type a pull source offers after Load(name, type): the sub type
// of a MEDIATYPE_Stream `type`, else unknown.
CMediaType OfferedStreamType(const AM_MEDIA_TYPE* loadType);

// IFileSourceFilter::GetCurFile for a pull source: a CoTaskMemAlloc'ed copy of
// `name` and, when `type` is given, a copy of `offered`. On failure nothing is
// handed out.
HRESULT HandOutCurFile(const std::string& name, const CMediaType& offered, LPOLESTR* fileName,
                       AM_MEDIA_TYPE* type);
