// The netbook target's page: which removable drive receives the files. The
// choice is the device's; without one it takes the first drive present.
#pragma once

#include "ui/device_page.h"

class CNetbookTgtDev;

class CNetbookTgtPage final : public CDevicePage {
    Q_OBJECT

public:
    CNetbookTgtPage(CNetbookTgtDev* device, CKestrelDoc* document);

    QString GetCurrentFolderPath() const override;

private:
    CNetbookTgtDev* const m_target;
};
