// The computer target's page: the folder the converted files go to. It
// starts in the user's videos folder.
#pragma once

#include "ui/device_page.h"

class CComputerTgtPage final : public CDevicePage {
    Q_OBJECT

public:
    CComputerTgtPage(CBaseDevice* device, CKestrelDoc* document);

    QString GetCurrentFolderPath() const override { return folder_; }
    void SetCurrentFolderPath(const QString& folder) { folder_ = folder; }

private:
    QString folder_;
};
