// CBaseFilter: state, clock, graph membership and pin enumeration of a filter.
//
// Two locks, as in every filter here: the filter lock (m_filterLock) guards
// state changes and connections and is taken only by the application's
// thread; streaming threads never take it. A filter that processes samples
// adds its own streaming lock.
//
// A derived filter says which pins it has (GetPinCount, GetPin) and may
// extend Stop, Pause and Run.
#pragma once

#include <mutex>
#include <string>

#include "platform/dshow/checked_mutex.h"
#include "platform/dshow/graph_interfaces.h"

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter {
public:
    CBaseFilter(const char* objectName, REFCLSID clsid);
    ~CBaseFilter() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IPersist
    HRESULT GetClassID(CLSID* classId) override;

    // IMediaFilter. Stop makes every connected pin inactive; Pause makes them
    // active (from stopped); Run tells them the start time.
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    HRESULT EnumPins(IEnumPins** pins) override;
    HRESULT FindPin(LPCOLESTR id, IPin** pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCOLESTR name) override;
    HRESULT QueryVendorInfo(LPOLESTR* info) override;

    virtual int GetPinCount() = 0;
    // nullptr past the last pin.
    virtual CBasePin* GetPin(int index) = 0;

    FILTER_STATE State() const { return m_state.load(); }
    bool IsStopped() const { return State() == State_Stopped; }
    bool IsActive() const { return State() != State_Stopped; }
    // The clock in use, or empty when the graph runs without one.
    ComPtr<IReferenceClock> Clock() const;
    REFERENCE_TIME StartTime() const { return m_startTime.load(); }

    // Sends an event to the graph (any thread). EC_COMPLETE carries this
    // filter as its second parameter, so the graph can count its sinks.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

    FilterMutex* FilterLock() { return &m_filterLock; }
    IFilterGraph* Graph() const { return m_graph; }

protected:
    FilterMutex m_filterLock;

private:
    const CLSID m_clsid;
    std::atomic<FILTER_STATE> m_state{State_Stopped};
    std::atomic<REFERENCE_TIME> m_startTime{0};
    mutable std::mutex m_clockLock;
    ComPtr<IReferenceClock> m_clock;
    // Weak: the graph holds the filter, not the other way round.
    IFilterGraph* m_graph = nullptr;
    std::atomic<IMediaEventSink*> m_eventSink{nullptr};
    std::string m_name;
};

// Copies `text` into a fixed-size name field, always null-terminated.
void CopyName(OLECHAR* target, size_t capacity, const std::string& text);
