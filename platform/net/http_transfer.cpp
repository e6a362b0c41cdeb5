#include "platform/net/http_transfer.h"

#include <curl/curl.h>

#include <strings.h>

#include <cstring>
#include <mutex>

namespace {

constexpr int kPollStepMs = 50;  // how soon an abort is noticed

std::mutex g_timeoutsLock;
HttpTimeouts g_timeouts;

void InitialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HRESULT HResultFromCurl(CURLcode code)
{
    switch (code) {
    case CURLE_OK: return S_OK;
    case CURLE_COULDNT_CONNECT: return HTTP_E_CONNECTION_REFUSED;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return HTTP_E_HOST_UNREACHABLE;
    case CURLE_OPERATION_TIMEDOUT: return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: return E_INVALIDARG;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING: return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
    case CURLE_OUT_OF_MEMORY: return E_OUTOFMEMORY;
    default: return E_FAIL;
    }
}

std::optional<int64_t> NumberAfter(const std::string& text, size_t position)
{
    const size_t start = text.find_first_of("0123456789", position);
    if (start == std::string::npos) return std::nullopt;
    try {
        return std::stoll(text.substr(start));
    } catch (...) {
        return std::nullopt;
    }
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

}  // namespace

void SetHttpTimeouts(const HttpTimeouts& timeouts)
{
    std::lock_guard lock(g_timeoutsLock);
    g_timeouts = timeouts;
}

HttpTimeouts CurrentHttpTimeouts()
{
    std::lock_guard lock(g_timeoutsLock);
    return g_timeouts;
}

HRESULT HResultFromHttpStatus(long status)
{
    if (status >= 200 && status < 300) return S_OK;
    if (status == 404 || status == 410) return VFW_E_NOT_FOUND;
    if (status == 401 || status == 403) return E_ACCESSDENIED;
    return E_FAIL;
}

struct HttpTransfer::Handles {
    Handles() : easy(curl_easy_init()), multi(curl_multi_init()) {}
    ~Handles()
    {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
    }
    CURL* const easy;
    CURLM* const multi;
    std::string range;
};

HttpTransfer::HttpTransfer(const std::string& url, const HttpTimeouts& timeouts,
                           std::optional<std::pair<int64_t, int64_t>> range, BodySink sink)
    : m_timeouts(timeouts), m_sink(std::move(sink))
{
    InitialiseCurlOnce();
    m_handles = std::make_unique<Handles>();
    CURL* easy = m_handles->easy;
    if (!easy || !m_handles->multi) return;  // Pump reports it
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // What began over https never goes on in the clear.
    const bool secure = url.size() >= 8 && strncasecmp(url.c_str(), "https://", 8) == 0;
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Orvex Tavimo");
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    if (range) {
        m_handles->range = std::to_string(range->first) + "-" + std::to_string(range->second);
        curl_easy_setopt(easy, CURLOPT_RANGE, m_handles->range.c_str());
    }
}

HttpTransfer::~HttpTransfer() = default;

size_t HttpTransfer::OnHeader(char* data, size_t size, size_t count, void* self)
{
    static_cast<HttpTransfer*>(self)->ParseHeader(std::string(data, size * count));
    return size * count;
}

size_t HttpTransfer::OnBody(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<HttpTransfer*>(self);
    const size_t bytes = size * count;
    transfer->m_received += bytes;
    // The body of an error page is not the resource; Pump reports the status.
    if (transfer->m_status >= 200 && transfer->m_status < 300)
        transfer->m_sink(reinterpret_cast<const uint8_t*>(data), bytes);
    return bytes;
}

void HttpTransfer::ParseHeader(const std::string& line)
{
    m_received += line.size();
    if (StartsWithNoCase(line, "HTTP/")) {
        // A new response (after a redirect or an interim one) starts afresh.
        m_status = static_cast<long>(NumberAfter(line, line.find(' ')).value_or(0));
        m_headersDone = false;
        m_contentLength.reset();
        m_rangeTotal.reset();
    } else if (StartsWithNoCase(line, "Content-Length:")) {
        m_contentLength = NumberAfter(line, line.find(':'));
    } else if (StartsWithNoCase(line, "Content-Range:")) {
        // "bytes first-last/total"; a total of "*" leaves it unknown.
        const size_t slash = line.find('/');
        if (slash != std::string::npos && line.find('*', slash) == std::string::npos)
            m_rangeTotal = NumberAfter(line, slash);
    } else if (line == "\r\n" || line == "\n") {
        const bool interim = m_status < 200 || (m_status >= 300 && m_status < 400);
        m_headersDone = !interim;
    }
}

HRESULT HttpTransfer::Outcome()
{
    if (m_finished) return *m_finished;
    if (m_headersDone && HResultFromHttpStatus(m_status) != S_OK) return HResultFromHttpStatus(m_status);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(m_handles->multi, &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        HRESULT hr = HResultFromCurl(message->data.result);
        if (SUCCEEDED(hr)) hr = HResultFromHttpStatus(m_status) == S_OK ? S_FALSE : HResultFromHttpStatus(m_status);
        m_finished = hr;
        return hr;
    }
    return S_OK;
}

HRESULT HttpTransfer::Pump(const std::function<bool()>& enough, const std::atomic<bool>& abort)
{
    if (!m_handles->easy || !m_handles->multi) return E_OUTOFMEMORY;
    if (!m_started) {
        if (curl_multi_add_handle(m_handles->multi, m_handles->easy) != CURLM_OK) return E_FAIL;
        m_started = true;
    }
    using Clock = std::chrono::steady_clock;
    auto lastProgress = Clock::now();
    uint64_t receivedBefore = m_received;
    for (;;) {
        if (abort) return VFW_E_WRONG_STATE;
        int running = 0;
        if (curl_multi_perform(m_handles->multi, &running) != CURLM_OK) return E_FAIL;
        const HRESULT outcome = Outcome();
        if (outcome != S_OK) return outcome;
        if (enough()) return S_OK;

        const auto now = Clock::now();
        if (m_received != receivedBefore) {
            receivedBefore = m_received;
            lastProgress = now;
        } else if (now - lastProgress > m_timeouts.stall) {
            return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
        }
        if (curl_multi_poll(m_handles->multi, nullptr, 0, kPollStepMs, nullptr) != CURLM_OK) return E_FAIL;
    }
}
