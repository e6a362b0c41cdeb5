// CFileWriter: File Writer, CLSID_FileWriter.
//
// A renderer that writes a byte stream (MEDIATYPE_Stream, any sub type) to
// one file. A sample's start time is its byte offset in the file; a sample
// without a time goes right after the previous sample. Writes may go back to
// an earlier offset, as a multiplexer does to finish its headers.
//
// The input pin, "in", also offers IStream, so a multiplexer can write at any
// offset and read back what it wrote. Its seek pointer is its own: it does
// not move with samples, nor samples with it.
//
// The file is created (truncated) when the filter pauses from stopped and
// closed when it stops. A failed write is never quiet: the sample (or the
// IStream call) fails with the system's code (HResultFromErrno, a full disk
// is HRESULT_FROM_WIN32(ERROR_DISK_FULL)), and the graph hears EC_ERRORABORT
// once, after which the rest of the stream is refused and no EC_COMPLETE
// comes.
//
// Threads: SetFileName and GetCurFile belong to the application's thread
// (filter lock). Samples arrive on the upstream streaming thread; IStream
// calls may come from any thread, concurrently with samples. m_fileLock
// serialises every access to the file and is held only around system calls.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/dshow/base_renderer.h"
#include "platform/dshow/file_sink.h"
#include "platform/dshow/output_file.h"

class CFileWriter;

// The input pin's IStream. It is part of the pin: QueryInterface answers as
// the pin does and references count on the filter.
class CFileWriterStream final : public IStream {
public:
    explicit CFileWriterStream(CFileWriter* writer) : m_writer(writer) {}

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // Failures other than misuse: VFW_E_WRONG_STATE while the file is not
    // open (the filter is stopped), the system's code otherwise. Read gives
    // S_FALSE when it reached the end of the file first.
    HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) override;
    // Cuts or extends the file (with zeroes).
    HRESULT SetSize(uint64_t size) override;
    // Makes what was written durable (fdatasync).
    HRESULT Commit(DWORD flags) override;

private:
    CFileWriter* const m_writer;
};

class CFileWriter final : public CBaseRenderer, public CFileSink {
public:
    CFileWriter();
    ~CFileWriter() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IFileSinkFilter: CFileSink.

    // CBaseRenderer
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    // Byte offsets are no media times: never wait for a clock.
    bool RendersInTime() const override { return false; }
    // Opens the file: HRESULT_FROM_WIN32(ERROR_INVALID_NAME) without a name,
    // the system's code when it cannot be created.
    HRESULT OnStartStreaming() override;
    // Closes the file; a failed close (a late write error) is returned.
    HRESULT OnStopStreaming() override;
    HRESULT OnEndOfStream() override;
    HRESULT GetInputPinInterface(REFIID riid, void** object) override;

private:
    friend class CFileWriterStream;

    // Any thread; each takes m_fileLock.
    HRESULT StreamRead(void* buffer, ULONG size, ULONG* read);
    HRESULT StreamWrite(const void* buffer, ULONG size, ULONG* written);
    HRESULT StreamSeek(int64_t move, DWORD origin, uint64_t* newPosition);
    HRESULT StreamSetSize(uint64_t size);
    HRESULT StreamCommit();
    HRESULT SyncToDisk();

    CFileWriterStream m_stream;

    std::mutex m_fileLock;
    std::unique_ptr<COutputFile> m_file;  // open between pause and stop
    uint64_t m_appendPosition = 0;     // where an untimed sample goes
    uint64_t m_streamPosition = 0;     // IStream's seek pointer
};
