#include "components/convert/video_discard.h"

CVideoDiscard::CVideoDiscard() : CBaseRenderer("video discard", CLSID_VideoDiscard) {}

HRESULT CVideoDiscard::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IVideoDiscard::iid) return GetInterface(static_cast<IVideoDiscard*>(this), object);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, object);
}

HRESULT CVideoDiscard::SetMediaTypes(GUID major, GUID sub)
{
    std::lock_guard lock(m_typeLock);
    m_major = major;
    m_sub = sub;
    return S_OK;
}

HRESULT CVideoDiscard::CheckMediaType(const CMediaType* type)
{
    std::lock_guard lock(m_typeLock);
    const bool majorFits = m_major == GUID_NULL || type->majortype == m_major;
    const bool subFits = m_sub == GUID_NULL || type->subtype == m_sub;
    return majorFits && subFits ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoDiscard::DoRenderSample(IMediaSample*) { return S_OK; }
