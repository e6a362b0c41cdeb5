#include "tests/platform/dshow/stream_filters.h"

#include <algorithm>
#include <cstring>

#include "platform/dshow/graph_pins.h"

namespace stream_filters {

// Scripted source

CScriptedStreamSource::CScriptedStreamSource(std::vector<ByteWrite> script)
    : CSource("scripted stream source", CLSID_ScriptedStreamSource)
{
    AddPin(std::make_unique<CScriptedStream>(this, std::move(script)));
}

CScriptedStream::CScriptedStream(CScriptedStreamSource* filter, std::vector<ByteWrite> script)
    : CSourceStream("scripted stream", filter, "Output"), m_script(std::move(script))
{
}

HRESULT CScriptedStream::CheckMediaType(const CMediaType* type)
{
    return type->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CScriptedStream::GetMediaType(int position, CMediaType* type)
{
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    *type = CMediaType(MEDIATYPE_Stream);
    return S_OK;
}

HRESULT CScriptedStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    size_t largest = 1;
    for (const auto& write : m_script) largest = std::max(largest, write.bytes.size());
    request->cBuffers = 2;
    request->cbBuffer = static_cast<LONG>(largest);
    ALLOCATOR_PROPERTIES actual;
    return allocator->SetProperties(request, &actual);
}

HRESULT CScriptedStream::FillBuffer(IMediaSample* sample)
{
    if (m_next == m_script.size()) return S_FALSE;
    const ByteWrite& write = m_script[m_next++];
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::memcpy(data, write.bytes.data(), write.bytes.size());
    sample->SetActualDataLength(static_cast<LONG>(write.bytes.size()));
    if (write.offset) {
        const REFERENCE_TIME start = *write.offset;
        const REFERENCE_TIME end = start + static_cast<REFERENCE_TIME>(write.bytes.size());
        sample->SetTime(&start, &end);
    } else {
        sample->SetTime(nullptr, nullptr);
    }
    return S_OK;
}

// Pull reader

CPullReaderPin::CPullReaderPin(CPullReaderSink* filter, size_t chunkSize)
    : CBasePin("pull reader pin", filter, filter->FilterLock(), "In", PINDIR_INPUT), m_sink(filter),
      m_chunkSize(chunkSize)
{
}

HRESULT CPullReaderPin::CheckMediaType(const CMediaType* type)
{
    return type->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPullReaderPin::CompleteConnect(IPin* receivePin)
{
    return receivePin->QueryInterface(IAsyncReader::iid, m_reader.ReleaseAndGetVoidAddress());
}

HRESULT CPullReaderPin::BreakConnect()
{
    m_reader.Reset();
    return S_OK;
}

HRESULT CPullReaderPin::Active()
{
    {
        std::lock_guard lock(m_bytesLock);
        m_bytes.clear();
    }
    m_thread = std::thread(&CPullReaderPin::ReadAll, this);
    return S_OK;
}

HRESULT CPullReaderPin::Inactive()
{
    if (!m_thread.joinable()) return S_OK;
    // A read in progress fails at once instead of holding up the stop.
    m_reader->BeginFlush();
    m_thread.join();
    m_reader->EndFlush();
    return S_OK;
}

void CPullReaderPin::ReadAll()
{
    LONGLONG total = 0, available = 0;
    HRESULT hr = m_reader->Length(&total, &available);
    std::string chunk(m_chunkSize, '\0');
    for (LONGLONG position = 0; SUCCEEDED(hr);) {
        hr = m_reader->SyncRead(position, static_cast<LONG>(chunk.size()), reinterpret_cast<BYTE*>(chunk.data()));
        if (FAILED(hr)) break;
        // At the end only the bytes the file still had are valid.
        const auto valid = hr == S_OK ? static_cast<LONGLONG>(chunk.size()) : std::max<LONGLONG>(0, total - position);
        {
            std::lock_guard lock(m_bytesLock);
            m_bytes.append(chunk.data(), static_cast<size_t>(valid));
        }
        position += valid;
        if (hr == S_FALSE) break;
        // A reader that still says S_OK past the end would keep us here for ever.
        if (position > total) hr = E_UNEXPECTED;
    }
    if (FAILED(hr)) {
        m_sink->NotifyEvent(EC_ERRORABORT, hr, 0);
        return;
    }
    m_sink->NotifyEvent(EC_COMPLETE, S_OK, 0);
}

std::string CPullReaderPin::Bytes()
{
    std::lock_guard lock(m_bytesLock);
    return m_bytes;
}

CPullReaderSink::CPullReaderSink(size_t chunkSize)
    : CBaseFilter("pull reader sink", CLSID_PullReaderSink), m_input(this, chunkSize)
{
}

}  // namespace stream_filters
