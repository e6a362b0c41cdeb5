// AsyncReaderIo: an AVIOContext that reads a byte stream through the
// IAsyncReader of an upstream pin (File Source (Async.), the network
// source), so libavformat can read it at any offset.
//
// Threads: one thread at a time reads and seeks (libavformat's caller: the
// application thread while a connection probes the stream, the
// demultiplexer's streaming thread while it runs). A stop makes reads fail at
// once through the reader's BeginFlush, which any thread may call.
#pragma once

#include <memory>

extern "C" {
#include <libavformat/avio.h>
}

#include "platform/dshow/pin_interfaces.h"

class AsyncReaderIo {
public:
    // Keeps a reference to `reader` for its lifetime. nullptr when out of memory.
    static std::unique_ptr<AsyncReaderIo> Create(IAsyncReader* reader);
    ~AsyncReaderIo();
    AsyncReaderIo(const AsyncReaderIo&) = delete;
    AsyncReaderIo& operator=(const AsyncReaderIo&) = delete;

    // Owned by this object; give it to an AVFormatContext flagged
    // AVFMT_FLAG_CUSTOM_IO, which must be closed before this object dies.
    AVIOContext* Context() const { return m_context; }
    IAsyncReader* Reader() const { return m_reader.Get(); }

    // The reader's failure behind the latest read error libavformat saw
    // (S_OK when the last failure was libavformat's own, or none).
    HRESULT LastReadError() const { return m_readError; }
    // Before a new run: a read that failed in an interrupted run (the reader
    // refuses reads while it flushes) must not end this one. libavformat
    // keeps a failed read's error in the context until somebody clears it.
    void ForgetReadErrors();

private:
    explicit AsyncReaderIo(IAsyncReader* reader);

    static int ReadPacket(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    int Read(uint8_t* buffer, int size);
    int64_t SeekTo(int64_t offset, int whence);
    // The stream's length, or -1 if the reader cannot say.
    int64_t Length() const;

    ComPtr<IAsyncReader> m_reader;
    AVIOContext* m_context = nullptr;
    int64_t m_position = 0;
    HRESULT m_readError = S_OK;
};
