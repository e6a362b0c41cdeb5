#include "components/demux/network_source.h"

#include <strings.h>

#include "components/component_ids.h"
#include "platform/dshow/filter_mapper.h"

namespace {

bool IsHttpAddress(const char* address)
{
    return strncasecmp(address, "http://", 7) == 0 || strncasecmp(address, "https://", 8) == 0;
}

}  // namespace

CNetworkSource::CNetworkSource() : CBaseFilter("network source", CLSID_NetworkSource), m_output(this, this) {}

CNetworkSource::~CNetworkSource() = default;

HRESULT CNetworkSource::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IFileSourceFilter::iid) return GetInterface(static_cast<IFileSourceFilter*>(this), object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

int CNetworkSource::GetPinCount() { return CurrentStream() ? 1 : 0; }

CBasePin* CNetworkSource::GetPin(int index) { return index == 0 && CurrentStream() ? &m_output : nullptr; }

std::shared_ptr<HttpStream> CNetworkSource::CurrentStream()
{
    std::lock_guard lock(m_loadedLock);
    return m_loaded.stream;
}

CMediaType CNetworkSource::OfferedType()
{
    std::lock_guard lock(m_loadedLock);
    return m_offered;
}

HRESULT CNetworkSource::Load(LPCOLESTR address, const AM_MEDIA_TYPE* type)
{
    if (!address) return E_POINTER;
    if (!IsHttpAddress(address)) return E_INVALIDARG;
    {
        std::lock_guard lock(m_filterLock);
        if (m_output.IsConnected()) return VFW_E_ALREADY_CONNECTED;
    }
    // The first request may take up to the time-outs: not under the filter lock.
    std::unique_ptr<HttpStream> stream;
    const HRESULT hr = HttpStream::Open(address, CurrentHttpTimeouts(), m_flushing, &stream);
    if (FAILED(hr)) return hr;

    std::lock_guard lock(m_filterLock);
    if (m_output.IsConnected()) return VFW_E_ALREADY_CONNECTED;
    std::lock_guard loadedLock(m_loadedLock);
    m_loaded = {address, std::move(stream)};
    m_offered = OfferedStreamType(type);
    return S_OK;
}

HRESULT CNetworkSource::GetCurFile(LPOLESTR* address, AM_MEDIA_TYPE* type)
{
    if (!address) return E_POINTER;
    *address = nullptr;
    Loaded loaded;
    {
        std::lock_guard lock(m_loadedLock);
        loaded = m_loaded;
    }
    if (!loaded.stream) return E_FAIL;
    return HandOutCurFile(loaded.address, OfferedType(), address, type);
}

HRESULT CNetworkSource::Read(LONGLONG position, LONG length, BYTE* buffer)
{
    const auto stream = CurrentStream();
    if (!stream) return VFW_E_NOT_CONNECTED;
    return stream->Read(position, length, buffer);
}

HRESULT CNetworkSource::Size(LONGLONG* total, LONGLONG* available)
{
    const auto stream = CurrentStream();
    if (!stream) return VFW_E_NOT_CONNECTED;
    stream->Size(total, available);
    return S_OK;
}

void RegisterNetworkSource()
{
    ClassRegistry::Instance().Register(CLSID_NetworkSource, CreateComObject<CNetworkSource>);
    // Registering again must not add the schemes twice.
    FilterMapper::Instance().UnregisterSource(CLSID_NetworkSource);
    FilterMapper::Instance().RegisterProtocolSource("http", CLSID_NetworkSource);
    FilterMapper::Instance().RegisterProtocolSource("https", CLSID_NetworkSource);
}
