#include "platform/dshow/source.h"

CSourceStream::CSourceStream(const char* objectName, CSource* filter, const char* pinName)
    : CBaseOutputPin(objectName, filter, filter->StateLock(), pinName)
{
}

// CSource stops its streams before they are destroyed; a thread still
// running here would be a bug, and std::thread makes it a loud one.
CSourceStream::~CSourceStream() = default;

HRESULT CSourceStream::Active()
{
    HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr) || m_thread.joinable()) return hr;
    m_thread = std::thread(&CSourceStream::ThreadProc, this);
    hr = CallWorker(Command::Init);
    if (SUCCEEDED(hr)) return CallWorker(Command::Pause);
    CallWorker(Command::Exit);
    m_thread.join();
    return hr;
}

HRESULT CSourceStream::Inactive()
{
    // Decommit first: a thread waiting for a buffer wakes up and sees the stop.
    const HRESULT hr = CBaseOutputPin::Inactive();
    if (m_thread.joinable()) {
        CallWorker(Command::Stop);
        CallWorker(Command::Exit);
        m_thread.join();
    }
    return hr;
}

HRESULT CSourceStream::CallWorker(Command command)
{
    std::lock_guard call(m_callLock);
    std::unique_lock lock(m_commandLock);
    m_command = command;
    m_replied = false;
    m_commandChanged.notify_all();
    m_commandChanged.wait(lock, [this] { return m_replied; });
    return m_reply;
}

CSourceStream::Command CSourceStream::GetRequest()
{
    std::unique_lock lock(m_commandLock);
    m_commandChanged.wait(lock, [this] { return m_command != Command::None; });
    return m_command;
}

bool CSourceStream::CheckRequest(Command* command)
{
    std::lock_guard lock(m_commandLock);
    if (m_command == Command::None) return false;
    if (command) *command = m_command;
    return true;
}

void CSourceStream::Reply(HRESULT result)
{
    std::lock_guard lock(m_commandLock);
    m_command = Command::None;
    m_reply = result;
    m_replied = true;
    m_commandChanged.notify_all();
}

void CSourceStream::ThreadProc()
{
    if (GetRequest() != Command::Init) {
        Reply(E_UNEXPECTED);
        return;
    }
    const HRESULT created = OnThreadCreate();
    Reply(created);
    if (FAILED(created)) {
        // Answer until the owner says exit.
        while (GetRequest() != Command::Exit) Reply(E_UNEXPECTED);
        Reply(S_OK);
        return;
    }
    for (;;) {
        const Command command = GetRequest();
        if (command == Command::Exit) break;
        Reply(command == Command::Init ? E_UNEXPECTED : S_OK);
        if (command == Command::Pause || command == Command::Run) DoBufferProcessingLoop();
    }
    OnThreadDestroy();
    Reply(S_OK);
}

void CSourceStream::DoBufferProcessingLoop()
{
    OnThreadStartPlay();
    for (;;) {
        Command command;
        if (CheckRequest(&command)) {
            // Run and Pause leave delivery going; anything else ends it.
            if (command != Command::Run && command != Command::Pause) return;
            Reply(S_OK);
            continue;
        }
        ComPtr<IMediaSample> sample;
        HRESULT hr = GetDeliveryBuffer(sample.ReleaseAndGetAddressOf(), nullptr, nullptr, 0);
        if (hr == S_OK) hr = FillBuffer(sample.Get());
        // FillBuffer's S_FALSE is the end of the data: Own sorts it as Ok.
        const StreamResult result = hr == S_OK ? DeliverSample(sample.Get()) : StreamResult::Own(hr);
        if (hr == S_OK && result.Ok()) continue;
        if (result.EndsQuietly()) return;
        // The error goes first, so the application hears of it before
        // anything downstream finishes on the end of stream.
        if (result.IsOwnFailure()) m_filter->NotifyEvent(EC_ERRORABORT, result.code(), 0);
        DeliverEndOfStream();
        return;
    }
}

CSource::CSource(const char* objectName, REFCLSID clsid) : CBaseFilter(objectName, clsid) {}

void CSource::OnFinalRelease() { Stop(); }

// Released through COM, the streams stopped in OnFinalRelease; stopping
// again is only for a filter that was never counted.
CSource::~CSource() { CBaseFilter::Stop(); }

int CSource::GetPinCount() { return static_cast<int>(m_streams.size()); }

CBasePin* CSource::GetPin(int index)
{
    if (index < 0 || index >= GetPinCount()) return nullptr;
    return m_streams[index].get();
}

void CSource::AddPin(std::unique_ptr<CSourceStream> pin) { m_streams.push_back(std::move(pin)); }
