// The results of a web video search as a source. Until its own reader is built it offers
// what every source does: its tab and an empty page.
#pragma once

#include "pipeline/device.h"

inline constexpr GUID GUID_YouTubeSrcDev = MakeGuid("{644A43C1-7682-498A-BA9F-B96B8786B7E3}");

class CYouTubeSrcDev final : public CSourceDevice {
public:
    explicit CYouTubeSrcDev(CKestrelDoc* document);
};
