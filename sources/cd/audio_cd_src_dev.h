// An audio CD's tracks as a source. Until its own reader is built it offers
// what every source does: its tab and an empty page.
#pragma once

#include "pipeline/device.h"

inline constexpr GUID GUID_AudioCDSrcDev = MakeGuid("{F455A046-D0D1-4431-82C9-80C9F86ECDE3}");

class CAudioCDSrcDev final : public CSourceDevice {
public:
    explicit CAudioCDSrcDev(CKestrelDoc* document);
};
