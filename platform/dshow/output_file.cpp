#include "platform/dshow/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <utility>

namespace {

constexpr uint64_t kMaxOffset = static_cast<uint64_t>(std::numeric_limits<off_t>::max());

}  // namespace

HRESULT COutputFile::Create(const std::string& path, std::unique_ptr<COutputFile>* file)
{
    if (path.empty()) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return HResultFromErrno(errno);
    file->reset(new COutputFile(fd));
    return S_OK;
}

COutputFile::~COutputFile()
{
    if (m_fd >= 0) ::close(m_fd);
}

HRESULT COutputFile::WriteAt(uint64_t offset, const void* data, size_t size, size_t* done)
{
    size_t written = 0;
    if (done) *done = 0;
    if (m_fd < 0) return VFW_E_WRONG_STATE;
    if (offset > kMaxOffset || size > kMaxOffset - offset) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    const auto* bytes = static_cast<const BYTE*>(data);
    while (written < size) {
        const ssize_t n = ::pwrite(m_fd, bytes + written, size - written, static_cast<off_t>(offset + written));
        if (n < 0) {
            if (errno == EINTR) continue;
            return HResultFromErrno(errno);
        }
        // Should not happen for a non-empty write, but looping on it would hang.
        if (n == 0) return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
        written += static_cast<size_t>(n);
        if (done) *done = written;
    }
    return S_OK;
}

HRESULT COutputFile::ReadAt(uint64_t offset, void* data, size_t size, size_t* done)
{
    *done = 0;
    if (m_fd < 0) return VFW_E_WRONG_STATE;
    if (offset > kMaxOffset) return S_FALSE;
    auto* bytes = static_cast<BYTE*>(data);
    while (*done < size) {
        const ssize_t n = ::pread(m_fd, bytes + *done, size - *done, static_cast<off_t>(offset + *done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EIO ? HRESULT_FROM_WIN32(ERROR_READ_FAULT) : HResultFromErrno(errno);
        }
        if (n == 0) return S_FALSE;
        *done += static_cast<size_t>(n);
    }
    return S_OK;
}

HRESULT COutputFile::Size(uint64_t* size)
{
    if (m_fd < 0) return VFW_E_WRONG_STATE;
    struct stat info;
    if (::fstat(m_fd, &info) != 0) return HResultFromErrno(errno);
    *size = static_cast<uint64_t>(info.st_size);
    return S_OK;
}

HRESULT COutputFile::SetSize(uint64_t size)
{
    if (m_fd < 0) return VFW_E_WRONG_STATE;
    if (size > kMaxOffset) return E_INVALIDARG;
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0) return HResultFromErrno(errno);
    return S_OK;
}

HRESULT COutputFile::Sync()
{
    if (m_fd < 0) return VFW_E_WRONG_STATE;
    // EINVAL: a device that has nothing to sync.
    if (::fdatasync(m_fd) != 0 && errno != EINVAL) return HResultFromErrno(errno);
    // Writes to a file whose folder was removed still succeed, into a file
    // nobody can reach: that is no output.
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) return HResultFromErrno(errno);
    if (info.st_nlink == 0) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    return S_OK;
}

HRESULT COutputFile::Close()
{
    if (m_fd < 0) return VFW_E_WRONG_STATE;
    const int result = ::close(std::exchange(m_fd, -1));
    return result == 0 ? S_OK : HResultFromErrno(errno);
}
