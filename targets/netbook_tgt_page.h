// The netbook target's page: the removable drive that receives the files
// (with the videos at its root) and the profile.
#pragma once

#include "targets/target_page.h"

class CNetbookTgtDev;

class CNetbookTgtPage final : public CTargetPage {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 397;
    static constexpr int kDriveCombo = 1053;
    static constexpr int kDriveLabel = 1054;

    CNetbookTgtPage(CNetbookTgtDev* device, CKestrelDoc* document);

    int GetTemplateId() const override { return kTemplateId; }
    void OnFirstShow() override;
    void OnBroadcast(int code, void* param) override;
    QString GetCurrentFolderPath() const override;

    // Fills the drive combo again and shows the first drive.
    void RefreshDrives();

protected:
    void OnInitDialog() override;
    CTargetHandler* CurrentHandler() const override;

private:
    CNetbookTgtDev* const m_target;
};
