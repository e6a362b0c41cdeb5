// Byte-stream filters for testing File Source (Async.) and File Writer, and
// a graph made the way the program makes one.
//
// CScriptedStreamSource pushes MEDIATYPE_Stream samples from a script of
// writes, each at a byte offset (its start time) or appended (no time).
// CPullReaderSink pulls a whole byte stream through the IAsyncReader of the
// pin it is connected to, on a thread of its own while the graph plays.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/dshow/base_filter.h"
#include "platform/dshow/base_pin.h"
#include "platform/dshow/graph_interfaces.h"
#include "platform/dshow/source.h"

namespace stream_filters {

inline constexpr CLSID CLSID_ScriptedStreamSource = MakeGuid("{A0000002-0000-4000-8000-000000000001}");
inline constexpr CLSID CLSID_PullReaderSink = MakeGuid("{A0000002-0000-4000-8000-000000000002}");

struct ByteWrite {
    std::optional<LONGLONG> offset;  // none: a sample without a time
    std::string bytes;
};

class CScriptedStreamSource final : public CSource {
public:
    explicit CScriptedStreamSource(std::vector<ByteWrite> script);
};

class CScriptedStream final : public CSourceStream {
public:
    CScriptedStream(CScriptedStreamSource* filter, std::vector<ByteWrite> script);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    const std::vector<ByteWrite> m_script;
    size_t m_next = 0;  // streaming thread
};

class CPullReaderSink;

class CPullReaderPin final : public CBasePin {
public:
    CPullReaderPin(CPullReaderSink* filter, size_t chunkSize);

    HRESULT CheckMediaType(const CMediaType* type) override;
    // Needs IAsyncReader on the peer.
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    // Starts the reading thread; Inactive flushes the reader and joins it.
    HRESULT Active() override;
    HRESULT Inactive() override;

    HRESULT EndOfStream() override { return S_OK; }
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }

    // What the thread read; complete once the graph reported EC_COMPLETE.
    std::string Bytes();

private:
    void ReadAll();

    CPullReaderSink* const m_sink;
    const size_t m_chunkSize;
    ComPtr<IAsyncReader> m_reader;  // filter lock
    std::thread m_thread;
    std::mutex m_bytesLock;
    std::string m_bytes;
};

class CPullReaderSink final : public CBaseFilter {
public:
    explicit CPullReaderSink(size_t chunkSize = 4096);

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &m_input : nullptr; }

    CPullReaderPin* Input() { return &m_input; }

private:
    CPullReaderPin m_input;
};

}  // namespace stream_filters
