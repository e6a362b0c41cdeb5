// CSystemClock: a reference clock on the monotonic system time, for graphs
// that play in real time (previews). Conversions run without a clock.
#pragma once

#include "platform/dshow/filter_interfaces.h"

class CSystemClock final : public CUnknown, public IReferenceClock {
public:
    CSystemClock();
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT GetTime(REFERENCE_TIME* time) override;
};
