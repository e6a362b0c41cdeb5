// A slide show of pictures with music as a source. Until its own reader is built it offers
// what every source does: its tab and an empty page.
#pragma once

#include "pipeline/device.h"

inline constexpr GUID GUID_SlideShowSrcDev = MakeGuid("{9F187A1B-D326-4F54-BCFB-5A4AD54C7602}");

class CSlideShowSrcDev final : public CSourceDevice {
public:
    explicit CSlideShowSrcDev(CKestrelDoc* document);
};
