#include "platform/dshow/base_pin.h"

#include <vector>

#include "platform/dshow/enumerators.h"

CBasePin::CBasePin(const char* objectName, CBaseFilter* filter, FilterMutex* lock, const char* pinName,
                   PIN_DIRECTION direction)
    : CUnknown(objectName, filter), m_filter(filter), m_lock(lock), m_name(pinName), m_direction(direction)
{
}

CBasePin::~CBasePin() = default;

HRESULT CBasePin::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IPin::iid) return GetInterface(static_cast<IPin*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type)
{
    if (!receivePin) return E_POINTER;
    std::lock_guard lock(*m_lock);
    if (m_connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    const CMediaType partial = type ? CMediaType(*type) : CMediaType();
    HRESULT hr = CheckConnect(receivePin);
    if (SUCCEEDED(hr)) hr = AgreeMediaType(receivePin, &partial);
    if (FAILED(hr)) BreakConnect();
    return hr;
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const CMediaType* partial)
{
    if (partial->IsValid() && !partial->IsPartiallySpecified()) return AttemptConnection(receivePin, partial);

    // The receiving pin's preferences first, then ours.
    HRESULT result = VFW_E_NO_ACCEPTABLE_TYPES;
    for (IPin* proposer : {receivePin, static_cast<IPin*>(this)}) {
        ComPtr<IEnumMediaTypes> types;
        if (FAILED(proposer->EnumMediaTypes(types.ReleaseAndGetAddressOf()))) continue;
        const HRESULT hr = TryMediaTypes(receivePin, partial, types.Get());
        if (SUCCEEDED(hr)) return hr;
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES) result = hr;
    }
    return result;
}

HRESULT CBasePin::TryMediaTypes(IPin* receivePin, const CMediaType* partial, IEnumMediaTypes* types)
{
    HRESULT result = VFW_E_NO_ACCEPTABLE_TYPES;
    AM_MEDIA_TYPE* next = nullptr;
    while (types->Next(1, &next, nullptr) == S_OK) {
        const CMediaType candidate(*next);
        DeleteMediaType(next);
        if (!candidate.MatchesPartial(*partial)) continue;
        const HRESULT hr = AttemptConnection(receivePin, &candidate);
        if (SUCCEEDED(hr)) return hr;
        result = hr;
    }
    return result;
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const CMediaType* type)
{
    HRESULT hr = CheckMediaType(type);
    if (hr != S_OK) return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    m_connected = receivePin;
    hr = SetMediaType(type);
    if (SUCCEEDED(hr)) {
        hr = receivePin->ReceiveConnection(this, type);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receivePin);
            if (SUCCEEDED(hr)) return S_OK;
            receivePin->Disconnect();
        }
    }
    m_connected.Reset();
    m_mediaType = CMediaType();
    return hr;
}

HRESULT CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type)
{
    if (!connector || !type) return E_POINTER;
    std::lock_guard lock(*m_lock);
    if (m_connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    HRESULT hr = CheckConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    const CMediaType agreed(*type);
    if (CheckMediaType(&agreed) != S_OK) {
        BreakConnect();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    m_connected = connector;
    hr = SetMediaType(&agreed);
    if (SUCCEEDED(hr)) hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        m_connected.Reset();
        m_mediaType = CMediaType();
        BreakConnect();
    }
    return hr;
}

HRESULT CBasePin::Disconnect()
{
    std::lock_guard lock(*m_lock);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (!m_connected) return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (FAILED(hr)) return hr;
    m_connected.Reset();
    m_mediaType = CMediaType();
    return S_OK;
}

HRESULT CBasePin::ConnectedTo(IPin** pin)
{
    if (!pin) return E_POINTER;
    std::lock_guard lock(*m_lock);
    *pin = nullptr;
    if (!m_connected) return VFW_E_NOT_CONNECTED;
    return m_connected.CopyTo(pin);
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    std::lock_guard lock(*m_lock);
    if (!m_connected) {
        const CMediaType empty;
        CopyMediaType(type, &empty);
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(type, &m_mediaType);
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* info)
{
    if (!info) return E_POINTER;
    info->pFilter = m_filter;
    m_filter->AddRef();
    info->dir = m_direction;
    CopyName(info->achName, MAX_PIN_NAME, m_name);
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* direction)
{
    if (!direction) return E_POINTER;
    *direction = m_direction;
    return S_OK;
}

HRESULT CBasePin::QueryId(LPOLESTR* id)
{
    if (!id) return E_POINTER;
    *id = CoTaskStrDup(m_name.c_str());
    return *id ? S_OK : E_OUTOFMEMORY;
}

HRESULT CBasePin::QueryAccept(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    const CMediaType candidate(*type);
    return CheckMediaType(&candidate) == S_OK ? S_OK : S_FALSE;
}

HRESULT CBasePin::EnumMediaTypes(IEnumMediaTypes** types)
{
    if (!types) return E_POINTER;
    std::vector<CMediaType> snapshot;
    {
        std::lock_guard lock(*m_lock);
        for (int position = 0;; ++position) {
            CMediaType type;
            if (GetMediaType(position, &type) != S_OK) break;
            snapshot.push_back(type);
        }
    }
    return GetInterface(static_cast<IEnumMediaTypes*>(new CEnumMediaTypes(std::move(snapshot))),
                        reinterpret_cast<void**>(types));
}

HRESULT CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    m_segmentStart = start;
    m_segmentStop = stop;
    m_segmentRate = rate;
    return S_OK;
}

HRESULT CBasePin::GetMediaType(int, CMediaType*) { return VFW_S_NO_MORE_ITEMS; }

HRESULT CBasePin::SetMediaType(const CMediaType* type)
{
    m_mediaType = *type;
    return S_OK;
}

HRESULT CBasePin::CheckConnect(IPin* pin)
{
    PIN_DIRECTION other;
    const HRESULT hr = pin->QueryDirection(&other);
    if (FAILED(hr)) return hr;
    return other == m_direction ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }

HRESULT CBasePin::BreakConnect() { return S_OK; }
