#include "components/convert/time_grabber.h"

CTimeGrabber::CTimeGrabber() : CTransInPlaceFilter("time grabber", CLSID_TimeGrabber) {}

HRESULT CTimeGrabber::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == ITimeGrabber::iid) return GetInterface(static_cast<ITimeGrabber*>(this), object);
    return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, object);
}

HRESULT CTimeGrabber::GetMediaTime(LONGLONG* time)
{
    if (!time) return E_POINTER;
    *time = m_latest.load(std::memory_order_relaxed);
    return S_OK;
}

HRESULT CTimeGrabber::CheckInputType(const CMediaType*) { return S_OK; }

HRESULT CTimeGrabber::StartStreaming()
{
    // A new run starts from the beginning, not where the last one ended.
    m_latest.store(0, std::memory_order_relaxed);
    return S_OK;
}

HRESULT CTimeGrabber::Transform(IMediaSample* sample)
{
    REFERENCE_TIME start, end;
    if (SUCCEEDED(sample->GetTime(&start, &end))) m_latest.store(start, std::memory_order_relaxed);
    return S_OK;
}
