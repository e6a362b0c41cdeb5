// A video DVD's titles as a source. Until its own reader is built it offers
// what every source does: its tab and an empty page.
#pragma once

#include "pipeline/device.h"

inline constexpr GUID GUID_VideoDVDSrcDev = MakeGuid("{AAF47919-1B26-4B40-825C-4C194B13AB9E}");

class CVideoDVDSrcDev final : public CSourceDevice {
public:
    explicit CVideoDVDSrcDev(CKestrelDoc* document);
};
