#include "platform/dshow/base_filter.h"

#include <cstring>
#include <vector>

#include "platform/dshow/base_pin.h"
#include "platform/dshow/enumerators.h"

void CopyName(OLECHAR* target, size_t capacity, const std::string& text)
{
    const size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

void ReleasePinInfo(PIN_INFO& info)
{
    if (info.pFilter) info.pFilter->Release();
    info.pFilter = nullptr;
}

void ReleaseFilterInfo(FILTER_INFO& info)
{
    if (info.pGraph) info.pGraph->Release();
    info.pGraph = nullptr;
}

CBaseFilter::CBaseFilter(const char* objectName, REFCLSID clsid) : CUnknown(objectName), m_clsid(clsid) {}

CBaseFilter::~CBaseFilter() = default;

HRESULT CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IPersist::iid || riid == IMediaFilter::iid || riid == IBaseFilter::iid)
        return GetInterface(static_cast<IBaseFilter*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CBaseFilter::GetClassID(CLSID* classId)
{
    if (!classId) return E_POINTER;
    *classId = m_clsid;
    return S_OK;
}

HRESULT CBaseFilter::Stop()
{
    std::lock_guard lock(m_filterLock);
    HRESULT result = S_OK;
    if (IsActive()) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin->IsConnected()) continue;
            const HRESULT hr = pin->Inactive();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    m_state = State_Stopped;
    return result;
}

HRESULT CBaseFilter::Pause()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped()) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin->IsConnected()) continue;
            const HRESULT hr = pin->Active();
            if (FAILED(hr)) return hr;
        }
    }
    m_state = State_Paused;
    return S_OK;
}

HRESULT CBaseFilter::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(m_filterLock);
    m_startTime = start;
    if (IsStopped()) {
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    if (State() != State_Running) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin->IsConnected()) continue;
            const HRESULT hr = pin->Run(start);
            if (FAILED(hr)) return hr;
        }
    }
    m_state = State_Running;
    return S_OK;
}

HRESULT CBaseFilter::GetState(DWORD, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    *state = State();
    return S_OK;
}

HRESULT CBaseFilter::SetSyncSource(IReferenceClock* clock)
{
    std::lock_guard lock(m_clockLock);
    m_clock = clock;
    return S_OK;
}

HRESULT CBaseFilter::GetSyncSource(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    return Clock().CopyTo(clock);
}

ComPtr<IReferenceClock> CBaseFilter::Clock() const
{
    std::lock_guard lock(m_clockLock);
    return m_clock;
}

HRESULT CBaseFilter::EnumPins(IEnumPins** pins)
{
    if (!pins) return E_POINTER;
    std::vector<ComPtr<IPin>> snapshot;
    {
        std::lock_guard lock(m_filterLock);
        for (int i = 0; i < GetPinCount(); ++i) snapshot.emplace_back(GetPin(i));
    }
    return GetInterface(static_cast<IEnumPins*>(new CEnumPins(std::move(snapshot))),
                        reinterpret_cast<void**>(pins));
}

HRESULT CBaseFilter::FindPin(LPCOLESTR id, IPin** pin)
{
    if (!id || !pin) return E_POINTER;
    *pin = nullptr;
    std::lock_guard lock(m_filterLock);
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* candidate = GetPin(i);
        if (candidate->Name() == id) return GetInterface(static_cast<IPin*>(candidate), reinterpret_cast<void**>(pin));
    }
    return VFW_E_NOT_FOUND;
}

HRESULT CBaseFilter::QueryFilterInfo(FILTER_INFO* info)
{
    if (!info) return E_POINTER;
    std::lock_guard lock(m_filterLock);
    CopyName(info->achName, MAX_FILTER_NAME, m_name);
    info->pGraph = m_graph;
    if (m_graph) m_graph->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCOLESTR name)
{
    std::lock_guard lock(m_filterLock);
    m_graph = graph;
    m_name = name ? name : "";
    IMediaEventSink* sink = nullptr;
    // Kept without a reference, like the graph pointer, to avoid a cycle.
    if (graph && SUCCEEDED(graph->QueryInterface(IMediaEventSink::iid, reinterpret_cast<void**>(&sink))))
        sink->Release();
    m_eventSink = sink;
    return S_OK;
}

HRESULT CBaseFilter::QueryVendorInfo(LPOLESTR*) { return E_NOTIMPL; }

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2)
{
    IMediaEventSink* sink = m_eventSink.load();
    if (!sink) return E_NOTIMPL;
    if (code == EC_COMPLETE && param2 == 0) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}
