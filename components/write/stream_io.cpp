#include "components/write/stream_io.h"

#include <cstdio>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace {

constexpr int kBufferSize = 256 * 1024;

struct StreamTarget {
    ComPtr<IStream> stream;
    int64_t position = 0;
    HRESULT failure = S_OK;
};

int Failed(StreamTarget* target, HRESULT hr)
{
    target->failure = hr;
    return AVERROR(EIO);
}

int ReadPacket(void* opaque, uint8_t* buffer, int size)
{
    auto* target = static_cast<StreamTarget*>(opaque);
    HRESULT hr = target->stream->Seek(target->position, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    if (SUCCEEDED(hr)) hr = target->stream->Read(buffer, static_cast<ULONG>(size), &read);
    if (FAILED(hr)) return Failed(target, hr);
    target->position += read;
    return read > 0 ? static_cast<int>(read) : AVERROR_EOF;
}

int WritePacket(void* opaque, uint8_t* buffer, int size)
{
    auto* target = static_cast<StreamTarget*>(opaque);
    HRESULT hr = target->stream->Seek(target->position, STREAM_SEEK_SET, nullptr);
    ULONG written = 0;
    if (SUCCEEDED(hr)) hr = target->stream->Write(buffer, static_cast<ULONG>(size), &written);
    if (FAILED(hr)) return Failed(target, hr);
    target->position += written;
    return static_cast<int>(written);
}

int64_t SeekStream(void* opaque, int64_t offset, int whence)
{
    auto* target = static_cast<StreamTarget*>(opaque);
    uint64_t end = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
    case SEEK_END: {
        const HRESULT hr = target->stream->Seek(0, STREAM_SEEK_END, &end);
        if (FAILED(hr)) return Failed(target, hr);
        if ((whence & ~AVSEEK_FORCE) == AVSEEK_SIZE) return static_cast<int64_t>(end);
        target->position = static_cast<int64_t>(end) + offset;
        break;
    }
    case SEEK_SET: target->position = offset; break;
    case SEEK_CUR: target->position += offset; break;
    default: return AVERROR(EINVAL);
    }
    return target->position;
}

}  // namespace

void StreamIoDeleter::operator()(AVIOContext* io) const
{
    delete static_cast<StreamTarget*>(io->opaque);
    av_freep(&io->buffer);
    avio_context_free(&io);
}

StreamIoPtr OpenStreamIo(IStream* stream, bool writable)
{
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    auto* target = new (std::nothrow) StreamTarget{ComPtr<IStream>(stream)};
    AVIOContext* io = buffer && target ? avio_alloc_context(buffer, kBufferSize, writable ? 1 : 0, target,
                                                            writable ? nullptr : ReadPacket,
                                                            writable ? WritePacket : nullptr, SeekStream)
                                       : nullptr;
    if (!io) {
        av_free(buffer);
        delete target;
    }
    return StreamIoPtr(io);
}

HRESULT StreamIoFailure(const AVIOContext* io) { return static_cast<const StreamTarget*>(io->opaque)->failure; }
