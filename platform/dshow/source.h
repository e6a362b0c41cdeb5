// CSource and CSourceStream: a filter whose output pins push samples from
// streaming threads of their own.
//
// Each CSourceStream runs one thread with a small command loop (init, run,
// pause, stop, exit); every command is answered, so no caller waits for ever.
// The thread starts delivering when the filter pauses and goes on until
// FillBuffer reports the end (S_FALSE) or an error (EC_ERRORABORT), or a stop
// comes. Stop decommits the allocator first, so a thread waiting for a buffer
// wakes up, then joins the thread before it returns.
//
// Override points: FillBuffer (fill one sample; S_OK delivers it, S_FALSE
// ends the stream), OnThreadCreate / OnThreadDestroy / OnThreadStartPlay, and
// the pin's CheckMediaType, GetMediaType and DecideBufferSize.
#pragma once

#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

#include "platform/dshow/output_pin.h"

class CSource;

class CSourceStream : public CBaseOutputPin {
public:
    CSourceStream(const char* objectName, CSource* filter, const char* pinName);
    ~CSourceStream() override;

    HRESULT Active() override;
    HRESULT Inactive() override;

    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    virtual HRESULT OnThreadCreate() { return S_OK; }
    virtual HRESULT OnThreadDestroy() { return S_OK; }
    // Called each time delivery (re)starts.
    virtual HRESULT OnThreadStartPlay() { return S_OK; }

protected:
    enum class Command { None, Init, Pause, Run, Stop, Exit };

    // Streaming thread: true (and the command, not taken) if one is waiting.
    bool CheckRequest(Command* command);

private:
    void ThreadProc();
    // The delivery loop; returns when a command needs answering or the stream ended.
    void DoBufferProcessingLoop();
    Command GetRequest();
    void Reply(HRESULT result);
    // Application thread: sends a command and waits for the answer.
    HRESULT CallWorker(Command command);

    std::thread m_thread;
    std::mutex m_commandLock;
    std::condition_variable m_commandChanged;
    Command m_command = Command::None;
    bool m_replied = false;
    HRESULT m_reply = S_OK;
    std::mutex m_callLock;  // one command at a time
};

class CSource : public CBaseFilter {
public:
    CSource(const char* objectName, REFCLSID clsid);
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    FilterMutex* StateLock() { return &m_filterLock; }

protected:
    // The filter owns its streams.
    void AddPin(std::unique_ptr<CSourceStream> pin);
    // The streams' threads run the derived filter's code: they stop here,
    // before any destructor has run.
    void OnFinalRelease() override;

private:
    std::vector<std::unique_ptr<CSourceStream>> m_streams;
};
