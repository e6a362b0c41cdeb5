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

#include "platform/dshow/async_reader_pin.h"

class CAsyncFileSource final : public CBaseFilter, public IFileSourceFilter, public CAsyncByteSource {
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

    // CAsyncByteSource, for the pin: any thread. The whole file is available.
    HRESULT Read(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Size(LONGLONG* total, LONGLONG* available) override;
    void SetFlushing(bool flushing) override { m_flushing = flushing; }
    CMediaType OfferedType() override;

private:
    struct OpenFile;

    // A reference to the file open now, so a read in flight keeps its
    // descriptor even if a new Load replaces it.
    std::shared_ptr<const OpenFile> CurrentFile();

    CAsyncReaderPin m_output;
    std::mutex m_fileLock;  // guards m_file and m_offered; held only to copy them
    std::shared_ptr<const OpenFile> m_file;
    CMediaType m_offered = OfferedStreamType(nullptr);
    std::atomic<bool> m_flushing{false};
};
