// The netbook target's page: which removable drive receives the files.
// Without a choice of its own it takes the first drive present.
#pragma once

#include "ui/device_page.h"

class CNetbookTgtPage final : public CDevicePage {
    Q_OBJECT

public:
    using CDevicePage::CDevicePage;

    // The chosen drive while it is present, else the first one; empty
    // when no removable drive is present.
    QString GetCurrentFolderPath() const override;
    void SelectDrive(const QString& root) { selectedDrive_ = root; }

private:
    QString selectedDrive_;
};
