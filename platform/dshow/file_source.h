// CAsyncFileSource: File Source (Async.), CLSID_AsyncReader.
//
// Offers one file as a byte stream on a single output pin, "Output"
// (MEDIATYPE_Stream). Nothing is pushed: the downstream filter pulls bytes
// through the pin's IAsyncReader from its own streaming thread, so the pin
// needs no IMemInputPin on its peer.
//
// Threads: Load and GetCurFile belong to the application's thread (filter
// lock). SyncRead, Length and the reader's flush calls may come from any
// thread at any time; they never take the filter lock.
//
// Until a file is loaded the filter has no pin, as an unloaded source has
// nothing to offer.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/dshow/base_pin.h"

class CAsyncFileSource;

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

// The output pin; it lives inside its filter and counts on the filter's
// references. Reads go to the filter's open file.
class CAsyncOutputPin final : public CAsyncOutputPinBase, public CAsyncReaderShim {
public:
    explicit CAsyncOutputPin(CAsyncFileSource* filter);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // MEDIATYPE_Stream with the loaded sub type (GUID_NULL: unknown, any).
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;

    // IAsyncReader
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Length(LONGLONG* total, LONGLONG* available) override;
    HRESULT BeginReaderFlush() override;
    HRESULT EndReaderFlush() override;

private:
    CAsyncFileSource* const m_source;
};

class CAsyncFileSource final : public CBaseFilter, public IFileSourceFilter {
public:
    CAsyncFileSource();
    ~CAsyncFileSource() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // IFileSourceFilter. Load takes a UTF-8 path and opens it read-only at
    // once, so a missing file, a folder or an unreadable file fails here
    // (HResultFromErrno; a folder gives E_ACCESSDENIED). A `type` with
    // MEDIATYPE_Stream sets the sub type the pin offers. Loading again
    // replaces the file, but not while the pin is connected: a peer may be
    // reading, so that gives VFW_E_ALREADY_CONNECTED.
    HRESULT Load(LPCOLESTR fileName, const AM_MEDIA_TYPE* type) override;
    // E_FAIL (and a null name) before a file is loaded.
    HRESULT GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type) override;

    // Any thread; see IAsyncReader.
    HRESULT Read(LONGLONG position, LONG length, BYTE* buffer);
    HRESULT Size(LONGLONG* size);
    void SetFlushing(bool flushing) { m_flushing = flushing; }
    CMediaType OfferedType();

private:
    struct OpenFile;

    // A reference to the file open now, so a read in flight keeps its
    // descriptor even if a new Load replaces it.
    std::shared_ptr<const OpenFile> CurrentFile();

    CAsyncOutputPin m_output;
    std::mutex m_fileLock;  // guards m_file and m_subtype; held only to copy them
    std::shared_ptr<const OpenFile> m_file;
    GUID m_subtype = GUID_NULL;
    std::atomic<bool> m_flushing{false};
};
