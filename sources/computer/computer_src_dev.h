// The folders of this computer as a source: marked media files.
#pragma once

#include "pipeline/device.h"

inline constexpr GUID GUID_ComputerSrcDev = MakeGuid("{ACDB2735-47A1-42EA-BCBC-2B144CF8B670}");

class CComputerSrcDev final : public CSourceDevice {
public:
    explicit CComputerSrcDev(CKestrelDoc* document);

protected:
    std::unique_ptr<CDevicePage> MakePage() override;
};
