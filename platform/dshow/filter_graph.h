// CFilterGraph: the filter graph manager (CLSID_FilterGraph).
//
// It holds the filters, connects their pins (directly or through registered
// filters), moves them through stop, pause and run together, collects their
// events for the application and answers seeking by asking its sinks.
//
// Threads: building and state changes happen on the application's thread;
// filters post events from their streaming threads (IMediaEventSink). Stop
// returns only when every filter has stopped and joined its threads, and a
// graph released while running stops first.
//
// State changes go from the sinks upstream, so that a sink is ready before
// anything is sent to it and is stopped (refusing samples) before its
// sources are asked to end their threads.
#pragma once

#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/dshow/graph_interfaces.h"
#include "platform/dshow/media_event_queue.h"

class CFilterGraph final : public CUnknown,
                           public IGraphBuilder,
                           public IMediaControl,
                           public IMediaEvent,
                           public IMediaEventSink,
                           public IMediaFilter,
                           public IMediaSeeking {
public:
    CFilterGraph();
    ~CFilterGraph() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IFilterGraph
    HRESULT AddFilter(IBaseFilter* filter, LPCOLESTR name) override;
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** filters) override;
    HRESULT FindFilterByName(LPCOLESTR name, IBaseFilter** filter) override;
    HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) override;
    HRESULT Disconnect(IPin* pin) override;
    HRESULT SetDefaultSyncSource() override;

    // IGraphBuilder (graph_builder.cpp)
    HRESULT Connect(IPin* output, IPin* input) override;
    HRESULT Render(IPin* output) override;
    HRESULT AddSourceFilter(LPCOLESTR fileName, LPCOLESTR filterName, IBaseFilter** filter) override;

    // IMediaControl and IMediaFilter
    HRESULT Run() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT StopWhenReady() override;
    HRESULT GetState(LONG timeoutMs, OAFilterState* state) override;
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT GetClassID(CLSID* classId) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;

    // IMediaEvent
    HRESULT GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long timeoutMs) override;
    HRESULT WaitForCompletion(long timeoutMs, long* code) override;
    HRESULT FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) override;

    // IMediaEventSink: EC_COMPLETE from every sink becomes one EC_COMPLETE.
    HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) override;

    // IMediaSeeking (graph_seeking.cpp), answered by the sinks
    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

private:
    struct Entry {
        ComPtr<IBaseFilter> filter;
        std::string name;
    };

    bool Contains(IBaseFilter* filter) const;
    bool ContainsPinOwner(IPin* pin) const;
    std::string UniqueName(const std::string& wanted) const;
    // The filters, sinks first, each after every filter it feeds.
    std::vector<ComPtr<IBaseFilter>> DownstreamFirst() const;
    // Filters that end a stream: renderers, or filters with connected inputs
    // and no output pins.
    bool StreamsWithoutSink() const;
    std::vector<ComPtr<IBaseFilter>> Sinks() const;
    std::vector<ComPtr<IMediaSeeking>> SinkSeekers() const;
    void ExpectCompletionFrom(const std::vector<ComPtr<IBaseFilter>>& sinks);
    // Calls `change` on every filter, sinks first; stops all on a failure.
    template <class Change>
    HRESULT ChangeState(Change change);

    // graph_builder.cpp
    HRESULT ConnectThroughFilters(IPin* output, IPin* input, int depth, std::vector<CLSID>& chain);
    HRESULT RenderThroughFilters(IPin* output, int depth, std::vector<CLSID>& chain);
    // Adds a registered filter and connects `output` to one of its free inputs.
    HRESULT AddConnectedFilter(IPin* output, const CLSID& clsid, const std::string& name,
                               ComPtr<IBaseFilter>* filter);

    std::recursive_mutex m_graphLock;  // application thread: structure and state
    std::vector<Entry> m_filters;      // in the order they were added
    FILTER_STATE m_state = State_Stopped;
    ComPtr<IReferenceClock> m_clock;
    bool m_clockChosen = false;  // SetSyncSource was called, if only with none
    REFERENCE_TIME m_runStart = 0;              // the reference time of stream time zero
    std::optional<REFERENCE_TIME> m_pausedAt;  // when a run was paused; none after a stop

    CMediaEventQueue m_events;
    std::mutex m_completionLock;
    std::set<LONG_PTR> m_pendingSinks;  // sinks that have not reported EC_COMPLETE
    bool m_completionArmed = false;
};
