#include "platform/dshow/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <optional>
#include <utility>

namespace {

constexpr uint64_t kMaxOffset = static_cast<uint64_t>(std::numeric_limits<off_t>::max());

// Writes all `size` bytes at `offset`, however the system splits them.
// `done` says how many made it, also on failure.
HRESULT WriteAll(int fd, uint64_t offset, const BYTE* data, size_t size, size_t* done)
{
    *done = 0;
    if (offset > kMaxOffset || size > kMaxOffset - offset) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    while (*done < size) {
        const ssize_t n = ::pwrite(fd, data + *done, size - *done, static_cast<off_t>(offset + *done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return HResultFromErrno(errno);
        }
        // Should not happen for a non-empty write, but looping on it would hang.
        if (n == 0) return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
        *done += static_cast<size_t>(n);
    }
    return S_OK;
}

// Reads up to `size` bytes at `offset`; S_FALSE when the file ended first.
HRESULT ReadAll(int fd, uint64_t offset, BYTE* data, size_t size, size_t* done)
{
    *done = 0;
    if (offset > kMaxOffset) return S_FALSE;
    while (*done < size) {
        const ssize_t n = ::pread(fd, data + *done, size - *done, static_cast<off_t>(offset + *done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EIO ? HRESULT_FROM_WIN32(ERROR_READ_FAULT) : HResultFromErrno(errno);
        }
        if (n == 0) return S_FALSE;
        *done += static_cast<size_t>(n);
    }
    return S_OK;
}

}  // namespace

struct CFileWriter::OpenFile {
    explicit OpenFile(int descriptor) : fd(descriptor) {}
    ~OpenFile()
    {
        if (fd >= 0) ::close(fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    // A network or removable drive may report a delayed write error only here.
    HRESULT Close()
    {
        const int result = ::close(std::exchange(fd, -1));
        return result == 0 ? S_OK : HResultFromErrno(errno);
    }

    int fd;
};

// IStream of the input pin

HRESULT CFileWriterStream::QueryInterface(REFIID riid, void** object)
{
    return m_writer->Input()->QueryInterface(riid, object);
}

ULONG CFileWriterStream::AddRef() { return m_writer->AddRef(); }

ULONG CFileWriterStream::Release() { return m_writer->Release(); }

HRESULT CFileWriterStream::Read(void* buffer, ULONG size, ULONG* read) { return m_writer->StreamRead(buffer, size, read); }

HRESULT CFileWriterStream::Write(const void* buffer, ULONG size, ULONG* written)
{
    return m_writer->StreamWrite(buffer, size, written);
}

HRESULT CFileWriterStream::Seek(int64_t move, DWORD origin, uint64_t* newPosition)
{
    return m_writer->StreamSeek(move, origin, newPosition);
}

HRESULT CFileWriterStream::SetSize(uint64_t size) { return m_writer->StreamSetSize(size); }

HRESULT CFileWriterStream::Commit(DWORD) { return m_writer->StreamCommit(); }

// Filter

CFileWriter::CFileWriter() : CBaseRenderer("File Writer", CLSID_FileWriter, "in"), m_stream(this) {}

CFileWriter::~CFileWriter() = default;

HRESULT CFileWriter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IFileSinkFilter::iid) return GetInterface(static_cast<IFileSinkFilter*>(this), object);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, object);
}

HRESULT CFileWriter::GetInputPinInterface(REFIID riid, void** object)
{
    if (riid == IStream::iid || riid == ISequentialStream::iid)
        return GetInterface(static_cast<IStream*>(&m_stream), object);
    return CBaseRenderer::GetInputPinInterface(riid, object);
}

HRESULT CFileWriter::SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE* type)
{
    if (!fileName) return E_POINTER;
    if (!*fileName) return E_INVALIDARG;
    std::lock_guard lock(m_filterLock);
    // The open file keeps its name until it is closed.
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    m_fileName = fileName;
    m_fileType = type ? CMediaType(*type) : CMediaType();
    return S_OK;
}

HRESULT CFileWriter::GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type)
{
    if (!fileName) return E_POINTER;
    std::lock_guard lock(m_filterLock);
    *fileName = nullptr;
    if (m_fileName.empty()) return E_FAIL;
    *fileName = CoTaskStrDup(m_fileName.c_str());
    if (!*fileName) return E_OUTOFMEMORY;
    if (type) {
        const HRESULT hr = CopyMediaType(type, &m_fileType);
        if (FAILED(hr)) {
            CoTaskMemFree(*fileName);
            *fileName = nullptr;
            return hr;
        }
    }
    return S_OK;
}

HRESULT CFileWriter::CheckMediaType(const CMediaType* type)
{
    return type->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// Called with the filter lock held, from Pause.
HRESULT CFileWriter::OnStartStreaming()
{
    if (m_fileName.empty()) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    // Read and write: a multiplexer may read back what it wrote.
    const int fd = ::open(m_fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return HResultFromErrno(errno);
    auto file = std::make_unique<OpenFile>(fd);
    std::lock_guard lock(m_fileLock);
    m_file = std::move(file);
    m_appendPosition = 0;
    m_streamPosition = 0;
    return S_OK;
}

HRESULT CFileWriter::OnStopStreaming()
{
    std::unique_ptr<OpenFile> file;
    {
        std::lock_guard lock(m_fileLock);
        file = std::move(m_file);
    }
    return file ? file->Close() : S_OK;
}

HRESULT CFileWriter::DoRenderSample(IMediaSample* sample)
{
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const LONG length = sample->GetActualDataLength();
    if (length < 0) return E_INVALIDARG;

    // For byte streams the start time is the byte offset.
    std::optional<uint64_t> offset;
    REFERENCE_TIME start, end;
    if (SUCCEEDED(sample->GetTime(&start, &end))) {
        if (start < 0) return E_INVALIDARG;
        offset = static_cast<uint64_t>(start);
    }

    std::lock_guard lock(m_fileLock);
    if (!m_file) return VFW_E_WRONG_STATE;
    const uint64_t at = offset.value_or(m_appendPosition);
    size_t done = 0;
    hr = WriteAll(m_file->fd, at, data, static_cast<size_t>(length), &done);
    if (FAILED(hr)) return hr;
    m_appendPosition = at + done;
    return S_OK;
}

HRESULT CFileWriter::StreamRead(void* buffer, ULONG size, ULONG* read)
{
    if (read) *read = 0;
    if (!buffer && size > 0) return E_POINTER;
    std::lock_guard lock(m_fileLock);
    if (!m_file) return VFW_E_WRONG_STATE;
    size_t done = 0;
    const HRESULT hr = ReadAll(m_file->fd, m_streamPosition, static_cast<BYTE*>(buffer), size, &done);
    m_streamPosition += done;
    if (read) *read = static_cast<ULONG>(done);
    return hr;
}

HRESULT CFileWriter::StreamWrite(const void* buffer, ULONG size, ULONG* written)
{
    if (written) *written = 0;
    if (!buffer && size > 0) return E_POINTER;
    HRESULT hr;
    {
        std::lock_guard lock(m_fileLock);
        if (!m_file) return VFW_E_WRONG_STATE;
        size_t done = 0;
        hr = WriteAll(m_file->fd, m_streamPosition, static_cast<const BYTE*>(buffer), size, &done);
        m_streamPosition += done;
        if (written) *written = static_cast<ULONG>(done);
    }
    // Outside the file lock: this tells the graph.
    if (FAILED(hr)) Input()->SetRunTimeError(hr);
    return hr;
}

HRESULT CFileWriter::StreamSeek(int64_t move, DWORD origin, uint64_t* newPosition)
{
    std::lock_guard lock(m_fileLock);
    if (!m_file) return VFW_E_WRONG_STATE;
    int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<int64_t>(m_streamPosition); break;
    case STREAM_SEEK_END: {
        struct stat info;
        if (::fstat(m_file->fd, &info) != 0) return HResultFromErrno(errno);
        base = info.st_size;
        break;
    }
    default: return E_INVALIDARG;
    }
    // `base` is never negative, so only a forward move can overflow.
    if (move > 0 && base > std::numeric_limits<int64_t>::max() - move) return E_INVALIDARG;
    if (base + move < 0) return E_INVALIDARG;
    m_streamPosition = static_cast<uint64_t>(base + move);
    if (newPosition) *newPosition = m_streamPosition;
    return S_OK;
}

HRESULT CFileWriter::StreamSetSize(uint64_t size)
{
    if (size > kMaxOffset) return E_INVALIDARG;
    HRESULT hr = S_OK;
    {
        std::lock_guard lock(m_fileLock);
        if (!m_file) return VFW_E_WRONG_STATE;
        if (::ftruncate(m_file->fd, static_cast<off_t>(size)) != 0) hr = HResultFromErrno(errno);
    }
    if (FAILED(hr)) Input()->SetRunTimeError(hr);
    return hr;
}

HRESULT CFileWriter::SyncToDisk()
{
    std::lock_guard lock(m_fileLock);
    if (!m_file) return VFW_E_WRONG_STATE;
    // EINVAL: a device that has nothing to sync.
    if (::fdatasync(m_file->fd) != 0 && errno != EINVAL) return HResultFromErrno(errno);
    return S_OK;
}

HRESULT CFileWriter::StreamCommit()
{
    const HRESULT hr = SyncToDisk();
    if (FAILED(hr)) Input()->SetRunTimeError(hr);
    return hr;
}

// A write error that the drive reports only when the data reaches it (a
// full or removed drive) must fail the run, not pass as a complete file.
HRESULT CFileWriter::OnEndOfStream() { return SyncToDisk(); }
