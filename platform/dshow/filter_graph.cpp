#include "platform/dshow/filter_graph.h"

#include <chrono>
#include <map>

#include "platform/dshow/enumerators.h"
#include "platform/dshow/filter_mapper.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/media_guids.h"
#include "platform/dshow/system_clock.h"

CFilterGraph::CFilterGraph() : CUnknown("filter graph") {}

CFilterGraph::~CFilterGraph()
{
    Stop();
    // Connections hold their peers; breaking them lets every filter go.
    for (const auto& entry : m_filters) {
        for (const auto& pin : PinsOf(entry.filter.Get())) pin->Disconnect();
        entry.filter->JoinFilterGraph(nullptr, nullptr);
    }
}

HRESULT CFilterGraph::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IFilterGraph::iid || riid == IGraphBuilder::iid)
        return GetInterface(static_cast<IGraphBuilder*>(this), object);
    if (riid == IMediaControl::iid) return GetInterface(static_cast<IMediaControl*>(this), object);
    if (riid == IMediaEvent::iid) return GetInterface(static_cast<IMediaEvent*>(this), object);
    if (riid == IMediaEventSink::iid) return GetInterface(static_cast<IMediaEventSink*>(this), object);
    if (riid == IMediaFilter::iid || riid == IPersist::iid) return GetInterface(static_cast<IMediaFilter*>(this), object);
    if (riid == IMediaSeeking::iid) return GetInterface(static_cast<IMediaSeeking*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

bool CFilterGraph::Contains(IBaseFilter* filter) const
{
    for (const auto& entry : m_filters)
        if (entry.filter.Get() == filter) return true;
    return false;
}

bool CFilterGraph::ContainsPinOwner(IPin* pin) const
{
    ComPtr<IBaseFilter> owner = FilterOf(pin);
    return owner && Contains(owner.Get());
}

std::string CFilterGraph::UniqueName(const std::string& wanted) const
{
    const auto taken = [this](const std::string& name) {
        for (const auto& entry : m_filters)
            if (entry.name == name) return true;
        return false;
    };
    if (!taken(wanted)) return wanted;
    for (int n = 1;; ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, " %04d", n);
        if (!taken(wanted + suffix)) return wanted + suffix;
    }
}

HRESULT CFilterGraph::AddFilter(IBaseFilter* filter, LPCOLESTR name)
{
    if (!filter) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    if (Contains(filter)) return VFW_E_DUPLICATE_NAME;

    std::string wanted = name ? name : "";
    if (wanted.empty()) {
        CLSID clsid;
        const auto registered = SUCCEEDED(filter->GetClassID(&clsid)) ? FilterMapper::Instance().Find(clsid) : std::nullopt;
        wanted = registered && !registered->name.empty() ? registered->name : "Filter";
    }
    const std::string unique = UniqueName(wanted);
    const HRESULT hr = filter->JoinFilterGraph(this, unique.c_str());
    if (FAILED(hr)) return hr;
    if (m_clockChosen) filter->SetSyncSource(m_clock.Get());
    m_filters.push_back({ComPtr<IBaseFilter>(filter), unique});
    return unique == wanted || !name ? S_OK : VFW_S_DUPLICATE_NAME;
}

HRESULT CFilterGraph::RemoveFilter(IBaseFilter* filter)
{
    if (!filter) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    for (auto it = m_filters.begin(); it != m_filters.end(); ++it) {
        if (it->filter.Get() != filter) continue;
        if (m_state != State_Stopped) filter->Stop();
        for (const auto& pin : PinsOf(filter)) {
            ComPtr<IPin> peer;
            if (SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf()))) peer->Disconnect();
            pin->Disconnect();
        }
        filter->JoinFilterGraph(nullptr, nullptr);
        m_filters.erase(it);
        return S_OK;
    }
    return E_FAIL;
}

HRESULT CFilterGraph::EnumFilters(IEnumFilters** filters)
{
    if (!filters) return E_POINTER;
    std::vector<ComPtr<IBaseFilter>> snapshot;
    {
        std::lock_guard lock(m_graphLock);
        for (auto it = m_filters.rbegin(); it != m_filters.rend(); ++it) snapshot.push_back(it->filter);
    }
    return GetInterface(static_cast<IEnumFilters*>(new CEnumFilters(std::move(snapshot))),
                        reinterpret_cast<void**>(filters));
}

HRESULT CFilterGraph::FindFilterByName(LPCOLESTR name, IBaseFilter** filter)
{
    if (!name || !filter) return E_POINTER;
    *filter = nullptr;
    std::lock_guard lock(m_graphLock);
    for (const auto& entry : m_filters)
        if (entry.name == name) return entry.filter.CopyTo(filter);
    return VFW_E_NOT_FOUND;
}

HRESULT CFilterGraph::ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type)
{
    if (!output || !input) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    if (!ContainsPinOwner(output) || !ContainsPinOwner(input)) return VFW_E_NOT_IN_GRAPH;
    if (m_state != State_Stopped) return VFW_E_NOT_STOPPED;
    if (DirectionOf(output) != PINDIR_OUTPUT || DirectionOf(input) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    return output->Connect(input, type);
}

HRESULT CFilterGraph::Disconnect(IPin* pin)
{
    if (!pin) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    return pin->Disconnect();
}

HRESULT CFilterGraph::SetDefaultSyncSource()
{
    return SetSyncSource(ComPtr<IReferenceClock>(new CSystemClock()).Get());
}

HRESULT CFilterGraph::SetSyncSource(IReferenceClock* clock)
{
    std::lock_guard lock(m_graphLock);
    m_clock = clock;
    m_clockChosen = true;
    for (const auto& entry : m_filters) entry.filter->SetSyncSource(clock);
    return S_OK;
}

HRESULT CFilterGraph::GetSyncSource(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    return m_clock.CopyTo(clock);
}

HRESULT CFilterGraph::GetClassID(CLSID* classId)
{
    if (!classId) return E_POINTER;
    *classId = CLSID_FilterGraph;
    return S_OK;
}

// State

std::vector<ComPtr<IBaseFilter>> CFilterGraph::DownstreamFirst() const
{
    // A filter is placed once every filter its outputs feed has been placed.
    std::map<IBaseFilter*, std::vector<IBaseFilter*>> feeds;
    for (const auto& entry : m_filters) {
        auto& downstream = feeds[entry.filter.Get()];
        for (const auto& pin : PinsOf(entry.filter.Get(), PINDIR_OUTPUT)) {
            ComPtr<IPin> peer;
            if (FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf()))) continue;
            ComPtr<IBaseFilter> next = FilterOf(peer.Get());
            if (next && Contains(next.Get())) downstream.push_back(next.Get());
        }
    }
    std::vector<ComPtr<IBaseFilter>> order;
    std::set<IBaseFilter*> placed;
    while (order.size() < m_filters.size()) {
        bool progress = false;
        for (const auto& entry : m_filters) {
            IBaseFilter* filter = entry.filter.Get();
            if (placed.contains(filter)) continue;
            bool ready = true;
            for (IBaseFilter* next : feeds[filter]) ready = ready && placed.contains(next);
            if (!ready) continue;
            order.push_back(entry.filter);
            placed.insert(filter);
            progress = true;
        }
        if (progress) continue;
        // A cycle should not exist; if it does, take the rest as they come.
        for (const auto& entry : m_filters)
            if (placed.insert(entry.filter.Get()).second) order.push_back(entry.filter);
    }
    return order;
}

std::vector<ComPtr<IBaseFilter>> CFilterGraph::Sinks() const
{
    std::vector<ComPtr<IBaseFilter>> sinks;
    for (const auto& entry : m_filters) {
        IBaseFilter* filter = entry.filter.Get();
        bool connectedInput = false;
        for (const auto& pin : PinsOf(filter, PINDIR_INPUT)) connectedInput = connectedInput || IsPinConnected(pin.Get());
        if (!connectedInput) continue;
        const auto flags = ComPtr<IBaseFilter>(filter).As<IAMFilterMiscFlags>();
        const bool renderer = flags && (flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_RENDERER);
        if (renderer || PinsOf(filter, PINDIR_OUTPUT).empty()) sinks.push_back(entry.filter);
    }
    return sinks;
}

void CFilterGraph::ExpectCompletionFrom(const std::vector<ComPtr<IBaseFilter>>& sinks)
{
    m_events.BeginRun();
    std::lock_guard lock(m_completionLock);
    m_pendingSinks.clear();
    for (const auto& sink : sinks) m_pendingSinks.insert(reinterpret_cast<LONG_PTR>(sink.Get()));
    m_completionArmed = true;
}

template <class Change>
HRESULT CFilterGraph::ChangeState(Change change)
{
    for (const auto& filter : DownstreamFirst()) {
        const HRESULT hr = change(filter.Get());
        if (FAILED(hr)) {
            for (const auto& f : DownstreamFirst()) f->Stop();
            m_state = State_Stopped;
            return hr;
        }
    }
    return S_OK;
}

// Streams flow, yet no filter could end them: nothing would ever post the
// completion a run waits for. (Branches that end in a filter with unlinked
// outputs are left alone: graphs carry such leftovers and still complete.)
bool CFilterGraph::StreamsWithoutSink() const
{
    if (!Sinks().empty()) return false;
    for (const auto& entry : m_filters)
        for (const auto& pin : PinsOf(entry.filter.Get(), PINDIR_OUTPUT))
            if (IsPinConnected(pin.Get())) return true;
    return false;
}

HRESULT CFilterGraph::Pause()
{
    std::lock_guard lock(m_graphLock);
    if (m_state == State_Paused) return S_OK;
    if (m_state == State_Stopped && StreamsWithoutSink()) return VFW_E_NOT_CONNECTED;
    if (m_state == State_Stopped) ExpectCompletionFrom(Sinks());
    REFERENCE_TIME now = 0;
    if (m_state == State_Running && m_clock && SUCCEEDED(m_clock->GetTime(&now))) m_pausedAt = now;
    const HRESULT hr = ChangeState([](IBaseFilter* f) { return f->Pause(); });
    if (FAILED(hr)) return hr;
    m_state = State_Paused;
    return S_OK;
}

HRESULT CFilterGraph::Run()
{
    std::lock_guard lock(m_graphLock);
    if (!m_clockChosen) SetDefaultSyncSource();
    REFERENCE_TIME now = 0;
    if (!m_clock || FAILED(m_clock->GetTime(&now))) return Run(0);
    // After a pause, stream time goes on from where it stood: zero moves on
    // by the time spent paused.
    if (m_state == State_Paused && m_pausedAt) return Run(m_runStart + (now - *m_pausedAt));
    // Stream time zero is "now" (plus a little for the filters to start).
    return Run(now + 10 * MILLISECONDS);
}

HRESULT CFilterGraph::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(m_graphLock);
    if (m_state == State_Running) return S_OK;
    if (m_state == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    const HRESULT hr = ChangeState([start](IBaseFilter* f) { return f->Run(start); });
    if (FAILED(hr)) return hr;
    m_state = State_Running;
    m_runStart = start;
    m_pausedAt.reset();
    return S_OK;
}

HRESULT CFilterGraph::Stop()
{
    std::lock_guard lock(m_graphLock);
    HRESULT result = S_OK;
    for (const auto& filter : DownstreamFirst()) {
        const HRESULT hr = filter->Stop();
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    m_state = State_Stopped;
    m_pausedAt.reset();
    {
        std::lock_guard completion(m_completionLock);
        m_completionArmed = false;
    }
    return result;
}

HRESULT CFilterGraph::StopWhenReady()
{
    // Our filters cue at once, so ready is now.
    return Stop();
}

HRESULT CFilterGraph::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    std::vector<ComPtr<IBaseFilter>> filters;
    {
        std::lock_guard lock(m_graphLock);
        *state = m_state;
        for (const auto& entry : m_filters) filters.push_back(entry.filter);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    HRESULT result = S_OK;
    for (const auto& filter : filters) {
        DWORD remaining = 0;
        if (timeoutMs == INFINITE) {
            remaining = INFINITE;
        } else {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            remaining = left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
        }
        FILTER_STATE filterState;
        const HRESULT hr = filter->GetState(remaining, &filterState);
        if (hr == VFW_S_STATE_INTERMEDIATE) result = hr;
    }
    return result;
}

HRESULT CFilterGraph::GetState(LONG timeoutMs, OAFilterState* state)
{
    if (!state) return E_POINTER;
    FILTER_STATE filterState;
    const HRESULT hr = GetState(static_cast<DWORD>(timeoutMs), &filterState);
    *state = filterState;
    return hr;
}

// Events

HRESULT CFilterGraph::GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long timeoutMs)
{
    if (!code || !param1 || !param2) return E_POINTER;
    CMediaEventQueue::Event event;
    const HRESULT hr = m_events.Get(&event, timeoutMs);
    if (FAILED(hr)) return hr;
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    return S_OK;
}

HRESULT CFilterGraph::WaitForCompletion(long timeoutMs, long* code)
{
    if (!code) return E_POINTER;
    return m_events.WaitForCompletion(timeoutMs, code);
}

HRESULT CFilterGraph::FreeEventParams(long, LONG_PTR, LONG_PTR)
{
    // Event parameters here are plain values; nothing to free.
    return S_OK;
}

HRESULT CFilterGraph::Notify(long code, LONG_PTR param1, LONG_PTR param2)
{
    if (code != EC_COMPLETE) {
        // A run that failed does not also complete: the sinks' end of stream
        // after an error would otherwise read as success.
        if (code == EC_ERRORABORT) {
            std::lock_guard lock(m_completionLock);
            m_completionArmed = false;
        }
        m_events.Post({code, param1, param2});
        return S_OK;
    }
    bool allDone = false;
    {
        std::lock_guard lock(m_completionLock);
        if (m_completionArmed && m_pendingSinks.erase(param2) == 1 && m_pendingSinks.empty()) {
            allDone = true;
            m_completionArmed = false;
        }
    }
    if (allDone) m_events.Post({EC_COMPLETE, S_OK, 0});
    return S_OK;
}
