#include "platform/dshow/file_writer.h"

#include <limits>
#include <optional>
#include <utility>

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

CFileWriter::CFileWriter() : CBaseRenderer("File Writer", CLSID_FileWriter, "in"), CFileSink(this), m_stream(this) {}

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

HRESULT CFileWriter::CheckMediaType(const CMediaType* type)
{
    return type->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// Called with the filter lock held, from Pause.
HRESULT CFileWriter::OnStartStreaming()
{
    std::unique_ptr<COutputFile> file;
    // Read and write: a multiplexer may read back what it wrote.
    const HRESULT hr = COutputFile::Create(FileName(), &file);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(m_fileLock);
    m_file = std::move(file);
    m_appendPosition = 0;
    m_streamPosition = 0;
    return S_OK;
}

HRESULT CFileWriter::OnStopStreaming()
{
    std::unique_ptr<COutputFile> file;
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
    hr = m_file->WriteAt(at, data, static_cast<size_t>(length), &done);
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
    const HRESULT hr = m_file->ReadAt(m_streamPosition, buffer, size, &done);
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
        hr = m_file->WriteAt(m_streamPosition, buffer, size, &done);
        m_streamPosition += done;
        if (written) *written = static_cast<ULONG>(done);
    }
    // Outside the file lock: this tells the graph.
    return Input()->Settle(StreamResult::Own(hr));
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
        uint64_t size = 0;
        const HRESULT hr = m_file->Size(&size);
        if (FAILED(hr)) return hr;
        base = static_cast<int64_t>(size);
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
    HRESULT hr;
    {
        std::lock_guard lock(m_fileLock);
        if (!m_file) return VFW_E_WRONG_STATE;
        hr = m_file->SetSize(size);
    }
    // A size beyond any file is misuse, not a failed run.
    return hr == E_INVALIDARG ? hr : Input()->Settle(StreamResult::Own(hr));
}

HRESULT CFileWriter::SyncToDisk()
{
    std::lock_guard lock(m_fileLock);
    if (!m_file) return VFW_E_WRONG_STATE;
    return m_file->Sync();
}

HRESULT CFileWriter::StreamCommit()
{
    return Input()->Settle(StreamResult::Own(SyncToDisk()));
}

// A write error that the drive reports only when the data reaches it (a
// full or removed drive) must fail the run, not pass as a complete file.
HRESULT CFileWriter::OnEndOfStream() { return SyncToDisk(); }
