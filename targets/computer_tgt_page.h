// The computer target's page: the folder the converted files go to, which
// is the device's (the page shows it and lets the user change it).
#pragma once

#include "ui/device_page.h"

class CComputerTgtDev;

class CComputerTgtPage final : public CDevicePage {
    Q_OBJECT

public:
    CComputerTgtPage(CComputerTgtDev* device, CKestrelDoc* document);

    QString GetCurrentFolderPath() const override;

private:
    CComputerTgtDev* const m_target;
};
