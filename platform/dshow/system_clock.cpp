#include "platform/dshow/system_clock.h"

#include <chrono>

CSystemClock::CSystemClock() : CUnknown("system clock") {}

HRESULT CSystemClock::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IReferenceClock::iid)
        return GetInterface(static_cast<IReferenceClock*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CSystemClock::GetTime(REFERENCE_TIME* time)
{
    if (!time) return E_POINTER;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    *time = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
    return S_OK;
}
