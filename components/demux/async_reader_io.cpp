#include "components/demux/async_reader_io.h"

#include <algorithm>
#include <cerrno>

extern "C" {
#include <libavutil/mem.h>
}

namespace {

// libavformat asks for at most this much per read.
constexpr int kBufferSize = 64 * 1024;

}  // namespace

std::unique_ptr<AsyncReaderIo> AsyncReaderIo::Create(IAsyncReader* reader)
{
    std::unique_ptr<AsyncReaderIo> io(new AsyncReaderIo(reader));
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer) return nullptr;
    io->m_context = avio_alloc_context(buffer, kBufferSize, 0, io.get(), &AsyncReaderIo::ReadPacket, nullptr,
                                       &AsyncReaderIo::Seek);
    if (!io->m_context) {
        av_free(buffer);
        return nullptr;
    }
    return io;
}

AsyncReaderIo::AsyncReaderIo(IAsyncReader* reader) : m_reader(reader) {}

AsyncReaderIo::~AsyncReaderIo()
{
    // The context may have swapped its buffer for a bigger one; free the current one.
    if (m_context) av_freep(&m_context->buffer);
    avio_context_free(&m_context);
}

int AsyncReaderIo::ReadPacket(void* opaque, uint8_t* buffer, int size)
{
    return static_cast<AsyncReaderIo*>(opaque)->Read(buffer, size);
}

int64_t AsyncReaderIo::Seek(void* opaque, int64_t offset, int whence)
{
    return static_cast<AsyncReaderIo*>(opaque)->SeekTo(offset, whence);
}

int64_t AsyncReaderIo::Length() const
{
    LONGLONG total = 0, available = 0;
    return SUCCEEDED(m_reader->Length(&total, &available)) ? total : -1;
}

void AsyncReaderIo::ForgetReadErrors()
{
    m_readError = S_OK;
    m_context->error = 0;
    m_context->eof_reached = 0;
}

int AsyncReaderIo::Read(uint8_t* buffer, int size)
{
    const int64_t length = Length();
    int64_t wanted = size;
    if (length >= 0) wanted = std::min<int64_t>(wanted, length - m_position);
    if (wanted <= 0) return AVERROR_EOF;
    const HRESULT hr = m_reader->SyncRead(m_position, static_cast<LONG>(wanted), buffer);
    if (FAILED(hr)) {
        m_readError = hr;
        return AVERROR(EIO);
    }
    // S_FALSE: the stream ended early and the reader does not say where.
    if (hr != S_OK) return AVERROR_EOF;
    m_readError = S_OK;
    m_position += wanted;
    return static_cast<int>(wanted);
}

int64_t AsyncReaderIo::SeekTo(int64_t offset, int whence)
{
    const int64_t length = Length();
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return length >= 0 ? length : AVERROR(ENOSYS);
    case SEEK_SET: break;
    case SEEK_CUR: offset += m_position; break;
    case SEEK_END:
        if (length < 0) return AVERROR(ENOSYS);
        offset += length;
        break;
    default: return AVERROR(EINVAL);
    }
    if (offset < 0) return AVERROR(EINVAL);
    m_position = offset;
    return m_position;
}
