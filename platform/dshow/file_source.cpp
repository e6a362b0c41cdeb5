#include "platform/dshow/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Read errors say "read fault", not the write fault that EIO maps to by default.
HRESULT ReadErrorFromErrno(int error)
{
    return error == EIO ? HRESULT_FROM_WIN32(ERROR_READ_FAULT) : HResultFromErrno(error);
}

}  // namespace

struct CAsyncFileSource::OpenFile {
    OpenFile(int descriptor, std::string name) : fd(descriptor), path(std::move(name)) {}
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    const int fd;
    const std::string path;
};

CAsyncFileSource::CAsyncFileSource() : CBaseFilter("File Source (Async.)", CLSID_AsyncReader), m_output(this, this) {}

CAsyncFileSource::~CAsyncFileSource() = default;

HRESULT CAsyncFileSource::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IFileSourceFilter::iid) return GetInterface(static_cast<IFileSourceFilter*>(this), object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

int CAsyncFileSource::GetPinCount() { return CurrentFile() ? 1 : 0; }

CBasePin* CAsyncFileSource::GetPin(int index) { return index == 0 && CurrentFile() ? &m_output : nullptr; }

std::shared_ptr<const CAsyncFileSource::OpenFile> CAsyncFileSource::CurrentFile()
{
    std::lock_guard lock(m_fileLock);
    return m_file;
}

CMediaType CAsyncFileSource::OfferedType()
{
    std::lock_guard lock(m_fileLock);
    return m_offered;
}

HRESULT CAsyncFileSource::Load(LPCOLESTR fileName, const AM_MEDIA_TYPE* type)
{
    if (!fileName) return E_POINTER;
    std::lock_guard lock(m_filterLock);
    if (m_output.IsConnected()) return VFW_E_ALREADY_CONNECTED;

    const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return HResultFromErrno(errno);
    auto file = std::make_shared<const OpenFile>(fd, fileName);
    struct stat info;
    if (::fstat(fd, &info) != 0) return HResultFromErrno(errno);
    // open() gladly opens a folder for reading; reading it would fail later.
    if (S_ISDIR(info.st_mode)) return E_ACCESSDENIED;

    std::lock_guard fileLock(m_fileLock);
    m_file = std::move(file);
    m_offered = OfferedStreamType(type);
    return S_OK;
}

HRESULT CAsyncFileSource::GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type)
{
    if (!fileName) return E_POINTER;
    *fileName = nullptr;
    const auto file = CurrentFile();
    if (!file) return E_FAIL;
    return HandOutCurFile(file->path, OfferedType(), fileName, type);
}

HRESULT CAsyncFileSource::Read(LONGLONG position, LONG length, BYTE* buffer)
{
    const auto file = CurrentFile();
    if (!file) return VFW_E_NOT_CONNECTED;

    if (m_flushing) return VFW_E_WRONG_STATE;
    LONG done = 0;
    while (done < length) {
        // Checked per chunk too, so a stop does not wait for a long read.
        if (done > 0 && m_flushing) return VFW_E_WRONG_STATE;
        const ssize_t n = ::pread(file->fd, buffer + done, static_cast<size_t>(length - done), position + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadErrorFromErrno(errno);
        }
        if (n == 0) return S_FALSE;  // end of file
        done += static_cast<LONG>(n);
    }
    return S_OK;
}

HRESULT CAsyncFileSource::Size(LONGLONG* total, LONGLONG* available)
{
    const auto file = CurrentFile();
    if (!file) return VFW_E_NOT_CONNECTED;
    struct stat info;
    if (::fstat(file->fd, &info) != 0) return ReadErrorFromErrno(errno);
    // A file on disk is whole: all of it is available.
    *total = *available = info.st_size;
    return S_OK;
}
