// The computer source's page. Its media list comes with the page's own
// window; until then it marks nothing.
#pragma once

#include "ui/device_page.h"

class CComputerSrcPage final : public CDevicePage {
    Q_OBJECT

public:
    using CDevicePage::CDevicePage;
};
