// CBaseRenderer: a sink with one input pin that consumes samples.
//
// While paused it holds the first sample until the graph runs (that is what
// makes a paused graph "ready"); while running it renders each sample at its
// time when the graph has a clock, and at once when it has none. At the end
// of the stream, once running, it tells the graph EC_COMPLETE.
//
// Its IMediaSeeking passes to the upstream pin and reports the start time of
// the latest rendered sample as the current position.
//
// Override points: CheckMediaType, DoRenderSample, and OnStartStreaming /
// OnStopStreaming around a run.
#pragma once

#include <condition_variable>
#include <memory>

#include "platform/dshow/input_pin.h"
#include "platform/dshow/pos_pass_thru.h"

class CBaseRenderer;

class CRendererInputPin final : public CBaseInputPin {
public:
    CRendererInputPin(CBaseRenderer* renderer, const char* pinName);

    // Adds what the renderer offers on its input (GetInputPinInterface).
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    CBaseRenderer* const m_renderer;
};

class CBaseRenderer : public CBaseFilter, public IAMFilterMiscFlags {
public:
    CBaseRenderer(const char* objectName, REFCLSID clsid, const char* pinName = "In");
    ~CBaseRenderer() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    ULONG GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    // VFW_S_STATE_INTERMEDIATE while paused and still waiting for a first sample.
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;

    virtual HRESULT CheckMediaType(const CMediaType* type) = 0;
    // Streaming thread, with only the streaming lock held.
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;
    virtual HRESULT SetMediaType(const CMediaType*) { return S_OK; }
    // False for sinks whose sample times are not media times (a file
    // writer's byte offsets): those never wait for the clock.
    virtual bool RendersInTime() const { return true; }
    // Pause from stopped; a failure fails the pause.
    virtual HRESULT OnStartStreaming() { return S_OK; }
    virtual HRESULT OnStopStreaming() { return S_OK; }
    // The stream has ended; a failure ends the run with EC_ERRORABORT
    // instead of EC_COMPLETE. Streaming thread, streaming lock held.
    virtual HRESULT OnEndOfStream() { return S_OK; }
    // Interfaces the input pin offers beyond IPin and IMemInputPin (a file
    // writer's IStream); they must answer QueryInterface as the pin does.
    virtual HRESULT GetInputPinInterface(REFIID, void** object)
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }

    // Called by the input pin (streaming thread).
    HRESULT Receive(IMediaSample* sample);
    HRESULT EndOfStream();
    void BeginFlush();
    void EndFlush();

    CRendererInputPin* Input() { return &m_input; }

private:
    // Waits while paused; false if the wait ended by a stop or a flush.
    bool WaitForRunning(std::unique_lock<std::mutex>& lock);
    // Waits until the clock reaches the sample's time; false if interrupted.
    bool WaitForRenderTime(std::unique_lock<std::mutex>& lock, IMediaSample* sample);
    void SendCompleteIfDue(std::unique_lock<std::mutex>& lock);

    CRendererInputPin m_input;
    std::unique_ptr<CRendererPosPassThru> m_position;

    // Held while a sample or the end of stream is processed; taken before
    // m_renderLock, never inside it.
    StreamingMutex m_streamLock;
    std::mutex m_renderLock;
    std::condition_variable m_renderStateChanged;
    FILTER_STATE m_renderState = State_Stopped;  // guarded by m_renderLock
    bool m_flushing = false;
    bool m_haveSample = false;
    bool m_endOfStream = false;
    bool m_completeSent = false;
};
