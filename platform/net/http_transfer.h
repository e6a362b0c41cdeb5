// HttpTransfer: one HTTP GET through libcurl, driven by the caller's thread
// a little at a time, so that a reader can take just the bytes it needs,
// give up when asked, and never wait without bound.
//
// Limits on every transfer: the connection must be made within the connect
// time-out, and a transfer that receives no byte for the stall time-out
// fails. Both give HRESULT_FROM_WIN32(ERROR_TIMEOUT).
//
// Failure codes (HResultFromCurl, HResultFromHttpStatus):
//   connection refused          HTTP_E_CONNECTION_REFUSED (ERROR_CONNECTION_REFUSED)
//   host name unknown           HTTP_E_HOST_UNREACHABLE (ERROR_HOST_UNREACHABLE)
//   time-out                    HRESULT_FROM_WIN32(ERROR_TIMEOUT)
//   connection lost mid-way     HRESULT_FROM_WIN32(ERROR_READ_FAULT)
//   not an http(s) address      E_INVALIDARG
//   status 404 or 410           VFW_E_NOT_FOUND
//   status 401 or 403           E_ACCESSDENIED
//   any other status >= 300     E_FAIL
//   aborted by the reader       VFW_E_WRONG_STATE (as IAsyncReader's flush wants)
//
// Threads: one thread at a time drives a transfer; the abort flag may be
// set from any thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/com/hresult.h"

inline constexpr HRESULT HTTP_E_CONNECTION_REFUSED = HRESULT_FROM_WIN32(1225);  // ERROR_CONNECTION_REFUSED
inline constexpr HRESULT HTTP_E_HOST_UNREACHABLE = HRESULT_FROM_WIN32(1232);    // ERROR_HOST_UNREACHABLE

struct HttpTimeouts {
    std::chrono::milliseconds connect{15'000};
    std::chrono::milliseconds stall{30'000};
};

// The time-outs new network sources use; process-wide, so tests can shorten them.
void SetHttpTimeouts(const HttpTimeouts& timeouts);
HttpTimeouts CurrentHttpTimeouts();

HRESULT HResultFromHttpStatus(long status);

class HttpTransfer {
public:
    // Receives each piece of the body of a successful (2xx) response.
    using BodySink = std::function<void(const uint8_t* data, size_t size)>;

    // A GET of `url`, of bytes [first, last] when `range` is given. Nothing
    // is sent until the first Pump.
    HttpTransfer(const std::string& url, const HttpTimeouts& timeouts,
                 std::optional<std::pair<int64_t, int64_t>> range, BodySink sink);
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    // Drives the transfer until `enough()` is true (S_OK), the response has
    // ended (S_FALSE), it fails (an error status counts), or `abort` is set.
    HRESULT Pump(const std::function<bool()>& enough, const std::atomic<bool>& abort);

    // Known once the response's headers have arrived: its status, the
    // Content-Length, and the whole length given by a Content-Range.
    long Status() const { return m_status; }
    std::optional<int64_t> ContentLength() const { return m_contentLength; }
    std::optional<int64_t> RangeTotal() const { return m_rangeTotal; }
    bool HeadersDone() const { return m_headersDone; }

private:
    struct Handles;

    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    void ParseHeader(const std::string& line);
    // S_FALSE when the response has ended well, a failure when it failed,
    // S_OK while it runs.
    HRESULT Outcome();

    std::unique_ptr<Handles> m_handles;
    HttpTimeouts m_timeouts;
    BodySink m_sink;
    bool m_started = false;
    std::optional<HRESULT> m_finished;  // how the response ended, once it has
    uint64_t m_received = 0;  // header and body bytes, to notice a stall
    long m_status = 0;
    bool m_headersDone = false;
    std::optional<int64_t> m_contentLength;
    std::optional<int64_t> m_rangeTotal;
};
