// CNetworkSource: the network source, CLSID_NetworkSource.
//
// Loads an "http://" or "https://" address and offers its bytes as a
// MEDIATYPE_Stream on one output pin, "Output", through IAsyncReader, as
// File Source (Async.) offers a file. Load makes the first request at once,
// so an unreachable server, a missing resource or a time-out fails Load with
// the codes listed in http_transfer.h; an address of another scheme gives
// E_INVALIDARG. Reads use range requests when the server honours them
// (http_stream.h) and are limited by the time-outs of CurrentHttpTimeouts()
// taken at Load.
//
// Threads: Load and GetCurFile belong to the application's thread. SyncRead,
// Length and the reader's flush may come from any thread; BeginFlush aborts
// a request in progress within a fraction of a second.
//
// Until an address is loaded the filter has no pin.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/dshow/async_reader_pin.h"
#include "platform/net/http_stream.h"

class CNetworkSource final : public CBaseFilter, public IFileSourceFilter, public CAsyncByteSource {
public:
    CNetworkSource();
    ~CNetworkSource() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // IFileSourceFilter. A `type` with MEDIATYPE_Stream sets the sub type the
    // pin offers. Loading again replaces the address, but not while the pin
    // is connected (VFW_E_ALREADY_CONNECTED).
    HRESULT Load(LPCOLESTR address, const AM_MEDIA_TYPE* type) override;
    // E_FAIL (and a null name) before an address is loaded.
    HRESULT GetCurFile(LPOLESTR* address, AM_MEDIA_TYPE* type) override;

    // CAsyncByteSource, for the pin: any thread.
    HRESULT Read(LONGLONG position, LONG length, BYTE* buffer) override;
    HRESULT Size(LONGLONG* total, LONGLONG* available) override;
    void SetFlushing(bool flushing) override { m_flushing = flushing; }
    CMediaType OfferedType() override;

private:
    struct Loaded {
        std::string address;
        std::shared_ptr<HttpStream> stream;
    };
    // The stream loaded now, kept alive for a read in flight even if a new
    // Load replaces it.
    std::shared_ptr<HttpStream> CurrentStream();

    CAsyncReaderPin m_output;
    std::atomic<bool> m_flushing{false};  // read by the streams' transfers
    std::mutex m_loadedLock;              // guards m_loaded and m_offered; held only to copy them
    Loaded m_loaded;
    CMediaType m_offered = OfferedStreamType(nullptr);
};

// Registers the class and makes it the source for "http" and "https".
void RegisterNetworkSource();
