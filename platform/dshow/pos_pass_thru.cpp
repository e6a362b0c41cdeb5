#include "platform/dshow/pos_pass_thru.h"

CPosPassThru::CPosPassThru(const char* objectName, CUnknown* owner, IPin* input)
    : CUnknown(objectName, owner), m_input(input)
{
}

HRESULT CPosPassThru::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IMediaSeeking::iid) return GetInterface(static_cast<IMediaSeeking*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CPosPassThru::GetPeerSeeking(ComPtr<IMediaSeeking>* seeking)
{
    ComPtr<IPin> peer;
    if (FAILED(m_input->ConnectedTo(peer.ReleaseAndGetAddressOf()))) return VFW_E_NOT_CONNECTED;
    return FAILED(peer.As(seeking)) ? E_NOTIMPL : S_OK;
}

// Each call forwards to the upstream pin's seeking interface.
#define FORWARD_TO_PEER(call)                   \
    ComPtr<IMediaSeeking> peer;                 \
    const HRESULT hr = GetPeerSeeking(&peer);   \
    if (FAILED(hr)) return hr;                  \
    return peer->call

HRESULT CPosPassThru::GetCapabilities(DWORD* capabilities) { FORWARD_TO_PEER(GetCapabilities(capabilities)); }
HRESULT CPosPassThru::CheckCapabilities(DWORD* capabilities) { FORWARD_TO_PEER(CheckCapabilities(capabilities)); }
HRESULT CPosPassThru::IsFormatSupported(const GUID* format) { FORWARD_TO_PEER(IsFormatSupported(format)); }
HRESULT CPosPassThru::QueryPreferredFormat(GUID* format) { FORWARD_TO_PEER(QueryPreferredFormat(format)); }
HRESULT CPosPassThru::GetTimeFormat(GUID* format) { FORWARD_TO_PEER(GetTimeFormat(format)); }
HRESULT CPosPassThru::IsUsingTimeFormat(const GUID* format) { FORWARD_TO_PEER(IsUsingTimeFormat(format)); }
HRESULT CPosPassThru::SetTimeFormat(const GUID* format) { FORWARD_TO_PEER(SetTimeFormat(format)); }
HRESULT CPosPassThru::GetDuration(LONGLONG* duration) { FORWARD_TO_PEER(GetDuration(duration)); }
HRESULT CPosPassThru::GetStopPosition(LONGLONG* stop) { FORWARD_TO_PEER(GetStopPosition(stop)); }
HRESULT CPosPassThru::GetCurrentPosition(LONGLONG* current) { FORWARD_TO_PEER(GetCurrentPosition(current)); }
HRESULT CPosPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                        const GUID* sourceFormat)
{
    FORWARD_TO_PEER(ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}
HRESULT CPosPassThru::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags)
{
    FORWARD_TO_PEER(SetPositions(current, currentFlags, stop, stopFlags));
}
HRESULT CPosPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) { FORWARD_TO_PEER(GetPositions(current, stop)); }
HRESULT CPosPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) { FORWARD_TO_PEER(GetAvailable(earliest, latest)); }
HRESULT CPosPassThru::SetRate(double rate) { FORWARD_TO_PEER(SetRate(rate)); }
HRESULT CPosPassThru::GetRate(double* rate) { FORWARD_TO_PEER(GetRate(rate)); }
HRESULT CPosPassThru::GetPreroll(LONGLONG* preroll) { FORWARD_TO_PEER(GetPreroll(preroll)); }

#undef FORWARD_TO_PEER

CRendererPosPassThru::CRendererPosPassThru(const char* objectName, CUnknown* owner, IPin* input)
    : CPosPassThru(objectName, owner, input)
{
}

HRESULT CRendererPosPassThru::GetCurrentPosition(LONGLONG* current)
{
    if (!current) return E_POINTER;
    bool ended;
    std::optional<REFERENCE_TIME> mediaTime;
    {
        std::lock_guard lock(m_lock);
        ended = m_ended;
        mediaTime = m_mediaTime;
    }
    if (ended) return GetStopPosition(current);
    if (mediaTime) {
        *current = *mediaTime;
        return S_OK;
    }
    return CPosPassThru::GetCurrentPosition(current);
}

void CRendererPosPassThru::RegisterMediaTime(REFERENCE_TIME start)
{
    std::lock_guard lock(m_lock);
    m_mediaTime = start;
}

void CRendererPosPassThru::EndOfStream()
{
    std::lock_guard lock(m_lock);
    m_ended = true;
}

void CRendererPosPassThru::ResetMediaTime()
{
    std::lock_guard lock(m_lock);
    m_mediaTime.reset();
    m_ended = false;
}
