#include "platform/net/http_stream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kCachedBlocks = 8;

// Copies bytes [position, end) out of the blocks that `blockAt(index, &block)`
// gives, each full but the last.
template <typename BlockAt>
HRESULT CopyBlocks(int64_t position, int64_t end, uint8_t* buffer, BlockAt blockAt)
{
    for (int64_t at = position; at < end;) {
        const int64_t index = at / kHttpBlockSize;
        const std::vector<uint8_t>* block = nullptr;
        const HRESULT hr = blockAt(index, &block);
        if (FAILED(hr)) return hr;
        const int64_t offset = at - index * kHttpBlockSize;
        const int64_t count = std::min(end - at, static_cast<int64_t>(block->size()) - offset);
        std::memcpy(buffer + (at - position), block->data() + offset, static_cast<size_t>(count));
        at += count;
    }
    return S_OK;
}

}  // namespace

HttpStream::HttpStream(std::string url, const HttpTimeouts& timeouts, const std::atomic<bool>& abort,
                       size_t keptBlocks)
    : m_url(std::move(url)), m_timeouts(timeouts), m_abort(abort), m_keptBlocks(std::max<size_t>(keptBlocks, 1))
{
}

HRESULT HttpStream::Open(const std::string& url, const HttpTimeouts& timeouts, const std::atomic<bool>& abort,
                         std::unique_ptr<HttpStream>* stream, size_t keptBlocks)
{
    std::unique_ptr<HttpStream> opened(new HttpStream(url, timeouts, abort, keptBlocks));
    HttpStream* self = opened.get();
    auto transfer = std::make_unique<HttpTransfer>(url, timeouts, std::make_pair(int64_t{0}, kHttpBlockSize - 1),
                                                   [self](const uint8_t* data, size_t size) {
                                                       self->AppendSequential(data, size);
                                                   });
    const HRESULT hr = self->TakeFirstResponse(std::move(transfer));
    if (FAILED(hr)) return hr;
    *stream = std::move(opened);
    return S_OK;
}

HRESULT HttpStream::TakeFirstResponse(std::unique_ptr<HttpTransfer> transfer)
{
    const HttpTransfer& response = *transfer;
    HRESULT hr = transfer->Pump([&response] { return response.HeadersDone(); }, m_abort);
    if (response.Status() == 416) {
        // Even the first byte is past the end: the resource is empty.
        m_ranges = true;
        m_length = 0;
        return S_OK;
    }
    if (FAILED(hr)) return hr;

    if (response.Status() == 206 && response.RangeTotal()) {
        m_ranges = true;
        m_length = *response.RangeTotal();
        hr = transfer->Pump([] { return false; }, m_abort);
        if (FAILED(hr)) return hr;
        if (m_available != std::min(kHttpBlockSize, m_length.load())) return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
        KeepBlock(0, std::make_shared<const Block>(m_window.empty() ? Block() : std::move(m_window.front())));
        ClearWindow();
        return S_OK;
    }

    m_ranges = false;
    if (response.Status() == 206) {
        // A part without the whole length cannot be placed: read it all instead.
        ClearWindow();
        return S_OK;
    }
    m_length = response.ContentLength().value_or(-1);
    if (hr == S_FALSE) {
        m_complete = true;
        m_length = m_available.load();
    } else {
        m_transfer = std::move(transfer);
    }
    return S_OK;
}

HRESULT HttpStream::Read(int64_t position, int32_t length, uint8_t* buffer)
{
    if (m_abort) return VFW_E_WRONG_STATE;
    return m_ranges ? ReadRanges(position, length, buffer) : ReadSequential(position, length, buffer);
}

void HttpStream::Size(int64_t* total, int64_t* available) const
{
    const int64_t length = m_length;
    if (m_ranges) {
        *total = *available = length;
        return;
    }
    *available = m_available;
    *total = length >= 0 ? length : *available;
}

// Range mode

HRESULT HttpStream::ReadRanges(int64_t position, int32_t length, uint8_t* buffer)
{
    const int64_t wanted = position + length;
    const int64_t end = std::min(wanted, m_length.load());
    std::shared_ptr<const Block> held;  // the block being copied from
    const HRESULT hr = CopyBlocks(position, end, buffer, [this, &held](int64_t index, const Block** block) {
        const HRESULT got = GetBlock(index, &held);
        *block = held.get();
        return got;
    });
    if (FAILED(hr)) return hr;
    return wanted <= end ? S_OK : S_FALSE;
}

HRESULT HttpStream::GetBlock(int64_t index, std::shared_ptr<const Block>* block)
{
    if ((*block = CachedBlock(index))) return S_OK;
    std::lock_guard fetch(m_fetchLock);
    // Another reader may have fetched it while this one waited.
    if ((*block = CachedBlock(index))) return S_OK;

    const int64_t first = index * kHttpBlockSize;
    const int64_t last = std::min(m_length.load(), first + kHttpBlockSize) - 1;
    auto data = std::make_shared<Block>();
    data->reserve(static_cast<size_t>(last - first + 1));
    const auto append = [&data](const uint8_t* bytes, size_t size) { data->insert(data->end(), bytes, bytes + size); };
    HttpTransfer transfer(m_url, m_timeouts, std::make_pair(first, last), append);
    const HRESULT hr = transfer.Pump([] { return false; }, m_abort);
    if (FAILED(hr)) return hr;
    // The server must answer every range as it answered the first.
    if (transfer.Status() != 206 || static_cast<int64_t>(data->size()) != last - first + 1)
        return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
    *block = data;
    KeepBlock(index, std::move(data));
    return S_OK;
}

std::shared_ptr<const HttpStream::Block> HttpStream::CachedBlock(int64_t index)
{
    std::lock_guard lock(m_cacheLock);
    const auto found =
        std::find_if(m_cache.begin(), m_cache.end(), [index](const auto& entry) { return entry.first == index; });
    if (found == m_cache.end()) return nullptr;
    m_cache.splice(m_cache.begin(), m_cache, found);
    return found->second;
}

void HttpStream::KeepBlock(int64_t index, std::shared_ptr<const Block> block)
{
    std::lock_guard lock(m_cacheLock);
    m_cache.emplace_front(index, std::move(block));
    if (m_cache.size() > kCachedBlocks) m_cache.pop_back();
}

// Sequential mode

HRESULT HttpStream::ReadSequential(int64_t position, int32_t length, uint8_t* buffer)
{
    std::lock_guard fetch(m_fetchLock);
    const int64_t wanted = position + length;
    const HRESULT hr = FillTo(wanted);
    if (FAILED(hr)) return hr;
    const int64_t end = std::min(wanted, m_available.load());
    if (position >= end) return length == 0 ? S_OK : S_FALSE;
    // Checked after filling: a read longer than the window pushes its own start out.
    if (position < m_firstBlock * kHttpBlockSize) return HTTP_E_CANNOT_READ_BACK;
    CopyBlocks(position, end, buffer, [this](int64_t index, const Block** block) {
        *block = &m_window[static_cast<size_t>(index - m_firstBlock)];
        return S_OK;
    });
    return wanted <= end ? S_OK : S_FALSE;
}

HRESULT HttpStream::FillTo(int64_t end)
{
    while (m_available < end && !m_complete) {
        if (!m_transfer) {
            m_skip = m_available;
            const auto append = [this](const uint8_t* data, size_t size) { AppendSequential(data, size); };
            m_transfer = std::make_unique<HttpTransfer>(m_url, m_timeouts, std::nullopt, append);
        }
        const auto enough = [this, end] { return m_available >= end; };
        const HRESULT hr = m_transfer->Pump(enough, m_abort);
        if (FAILED(hr)) {
            // The next read starts a new transfer where the buffer ends.
            m_transfer.reset();
            return hr;
        }
        if (hr == S_FALSE) {
            m_complete = true;
            m_transfer.reset();
            m_length = m_available.load();
        }
    }
    return S_OK;
}

void HttpStream::AppendSequential(const uint8_t* data, size_t size)
{
    const auto repeated = static_cast<size_t>(std::min(m_skip, static_cast<int64_t>(size)));
    m_skip -= static_cast<int64_t>(repeated);
    for (size_t at = repeated; at < size;) {
        if (m_window.empty() || static_cast<int64_t>(m_window.back().size()) == kHttpBlockSize) {
            m_window.emplace_back().reserve(static_cast<size_t>(kHttpBlockSize));
            if (m_window.size() > m_keptBlocks) {
                m_window.pop_front();
                ++m_firstBlock;
            }
        }
        Block& last = m_window.back();
        const size_t count = std::min(size - at, static_cast<size_t>(kHttpBlockSize) - last.size());
        last.insert(last.end(), data + at, data + at + count);
        at += count;
        m_available += static_cast<int64_t>(count);
    }
}

void HttpStream::ClearWindow()
{
    m_window.clear();
    m_firstBlock = 0;
    m_available = 0;
}
