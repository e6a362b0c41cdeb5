#include "platform/dshow/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

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

// Output pin

CAsyncOutputPin::CAsyncOutputPin(CAsyncFileSource* filter)
    : CAsyncOutputPinBase("async reader output pin", filter, filter->FilterLock(), "Output", PINDIR_OUTPUT),
      m_source(filter)
{
}

HRESULT CAsyncOutputPin::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IAsyncReader::iid) return GetInterface(static_cast<IAsyncReader*>(this), object);
    return CBasePin::NonDelegatingQueryInterface(riid, object);
}

HRESULT CAsyncOutputPin::CheckMediaType(const CMediaType* type)
{
    if (!type) return E_POINTER;
    if (type->majortype != MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
    const GUID offered = m_source->OfferedType().subtype;
    // An unknown sub type lets the peer say what it reads the bytes as.
    if (offered != GUID_NULL && type->subtype != offered && type->subtype != GUID_NULL)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CAsyncOutputPin::GetMediaType(int position, CMediaType* type)
{
    if (!type) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = m_source->OfferedType();
    return S_OK;
}

HRESULT CAsyncOutputPin::SyncRead(LONGLONG position, LONG length, BYTE* buffer)
{
    return m_source->Read(position, length, buffer);
}

HRESULT CAsyncOutputPin::Length(LONGLONG* total, LONGLONG* available)
{
    if (!total || !available) return E_POINTER;
    LONGLONG size = 0;
    const HRESULT hr = m_source->Size(&size);
    if (FAILED(hr)) return hr;
    // A file on disk is whole: all of it is available.
    *total = *available = size;
    return S_OK;
}

HRESULT CAsyncOutputPin::BeginReaderFlush()
{
    m_source->SetFlushing(true);
    return S_OK;
}

HRESULT CAsyncOutputPin::EndReaderFlush()
{
    m_source->SetFlushing(false);
    return S_OK;
}

// Filter

CAsyncFileSource::CAsyncFileSource() : CBaseFilter("File Source (Async.)", CLSID_AsyncReader), m_output(this) {}

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
    GUID subtype;
    {
        std::lock_guard lock(m_fileLock);
        subtype = m_subtype;
    }
    CMediaType type(MEDIATYPE_Stream, subtype);
    type.formattype = FORMAT_None;
    return type;
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
    m_subtype = type && type->majortype == MEDIATYPE_Stream ? type->subtype : GUID_NULL;
    return S_OK;
}

HRESULT CAsyncFileSource::GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type)
{
    if (!fileName) return E_POINTER;
    *fileName = nullptr;
    const auto file = CurrentFile();
    if (!file) return E_FAIL;
    *fileName = CoTaskStrDup(file->path.c_str());
    if (!*fileName) return E_OUTOFMEMORY;
    if (type) {
        const CMediaType offered = OfferedType();
        const HRESULT hr = CopyMediaType(type, &offered);
        if (FAILED(hr)) {
            CoTaskMemFree(*fileName);
            *fileName = nullptr;
            return hr;
        }
    }
    return S_OK;
}

HRESULT CAsyncFileSource::Read(LONGLONG position, LONG length, BYTE* buffer)
{
    if (position < 0 || length < 0 || position > std::numeric_limits<LONGLONG>::max() - length)
        return E_INVALIDARG;
    if (!buffer && length > 0) return E_POINTER;
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

HRESULT CAsyncFileSource::Size(LONGLONG* size)
{
    const auto file = CurrentFile();
    if (!file) return VFW_E_NOT_CONNECTED;
    struct stat info;
    if (::fstat(file->fd, &info) != 0) return ReadErrorFromErrno(errno);
    *size = info.st_size;
    return S_OK;
}
