// HttpStream: random access to the bytes at an http(s) address, for the
// network source's reader pin.
//
// When the server honours ranges, bytes are fetched in blocks of
// kHttpBlockSize with range requests and the last few blocks are kept, so a
// demultiplexer's many small reads cost one request per block. When it
// ignores ranges, the body is read once, front to back, as far as the reads
// reach (a read near the end waits for everything before it), and only the
// last blocks received are kept (the window, kHttpKeptBlocks by default): a
// read of bytes before the window fails with HTTP_E_CANNOT_READ_BACK, as
// they could only be had again by reading the whole body anew. A transfer
// that failed is started again where the received bytes end.
//
// Threads: Read and Size may be called from any thread at once; requests
// are made one at a time. Setting the abort flag (the filter's flush) makes
// a request in progress and every later Read fail with VFW_E_WRONG_STATE.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/net/http_transfer.h"

inline constexpr int64_t kHttpBlockSize = 1 << 20;
// Without ranges, the blocks kept: 256 MB hold a whole web video of the
// usual sizes, so even one whose index comes last (read first, then the
// media from the front) plays, while a longer body cannot exhaust memory.
inline constexpr size_t kHttpKeptBlocks = 256;

// A read of bytes that a server without ranges sent before the window.
inline constexpr HRESULT HTTP_E_CANNOT_READ_BACK = HRESULT_FROM_WIN32(25);  // ERROR_SEEK

class HttpStream {
public:
    // Checks the address with a GET of its first block, which also tells the
    // length and whether ranges are honoured. Fails with the codes of
    // http_transfer.h. `abort` must outlive the stream. `keptBlocks` (at
    // least 1) sizes the window kept without ranges.
    static HRESULT Open(const std::string& url, const HttpTimeouts& timeouts, const std::atomic<bool>& abort,
                        std::unique_ptr<HttpStream>* stream, size_t keptBlocks = kHttpKeptBlocks);

    // As IAsyncReader::SyncRead: S_FALSE when the stream ends first (the
    // bytes up to its end are copied).
    HRESULT Read(int64_t position, int32_t length, uint8_t* buffer);
    // The length (what has arrived so far while a length-less body is still
    // being read), and what can be read without waiting.
    void Size(int64_t* total, int64_t* available) const;

    bool HonoursRanges() const { return m_ranges; }

private:
    using Block = std::vector<uint8_t>;

    HttpStream(std::string url, const HttpTimeouts& timeouts, const std::atomic<bool>& abort, size_t keptBlocks);
    HRESULT TakeFirstResponse(std::unique_ptr<HttpTransfer> transfer);

    HRESULT ReadRanges(int64_t position, int32_t length, uint8_t* buffer);
    HRESULT GetBlock(int64_t index, std::shared_ptr<const Block>* block);
    std::shared_ptr<const Block> CachedBlock(int64_t index);
    void KeepBlock(int64_t index, std::shared_ptr<const Block> block);

    HRESULT ReadSequential(int64_t position, int32_t length, uint8_t* buffer);
    // Called with m_fetchLock held.
    HRESULT FillTo(int64_t end);
    void AppendSequential(const uint8_t* data, size_t size);
    void ClearWindow();

    const std::string m_url;
    const HttpTimeouts m_timeouts;
    const std::atomic<bool>& m_abort;
    const size_t m_keptBlocks;
    bool m_ranges = false;               // set by Open only
    std::atomic<int64_t> m_length{-1};   // -1: not known (yet)

    std::mutex m_fetchLock;  // one request at a time; guards the sequential state below

    // Range mode: the blocks read last, most recent first.
    std::mutex m_cacheLock;
    std::list<std::pair<int64_t, std::shared_ptr<const Block>>> m_cache;

    // Sequential mode: the window, blocks m_firstBlock on (the last one
    // filling); the first response's bytes also arrive here.
    std::deque<Block> m_window;
    int64_t m_firstBlock = 0;
    std::unique_ptr<HttpTransfer> m_transfer;
    int64_t m_skip = 0;  // bytes a restarted transfer sends again before new ones
    bool m_complete = false;
    std::atomic<int64_t> m_available{0};  // bytes received, the window's end
};
