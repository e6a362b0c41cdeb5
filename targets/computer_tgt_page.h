// The computer target's page: the folder the converted files go to (with
// its content), the output format, the profile, and the format's settings.
// What the user chooses here is the device's and is remembered.
#pragma once

#include "targets/target_page.h"

class CComputerTgtDev;
class CFlatButton;
class QPushButton;

class CComputerTgtPage final : public CTargetPage {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 109;
    static constexpr int kFolderCombo = 1014;
    static constexpr int kFormatCombo = 1015;
    static constexpr int kSettingsButton = 1016;
    static constexpr int kUpButton = 1017;
    static constexpr int kFolderLabel = 1007;
    static constexpr int kFormatLabel = 1021;

    CComputerTgtPage(CComputerTgtDev* device, CKestrelDoc* document);

    int GetTemplateId() const override { return kTemplateId; }
    void SetEraseHandler(CEraseHandler* handler) override;
    void OnFirstShow() override;
    QString GetCurrentFolderPath() const override;

    QComboBox* FormatCombo() const { return m_formatCombo; }
    QPushButton* SettingsButton() const { return m_settingsButton; }
    void FillFormats();

protected:
    void OnInitDialog() override;
    CTargetHandler* CurrentHandler() const override;
    void OnProfileChosen() override;

private:
    void OnFormatChosen(int index);
    void OnFolderShown();
    void OnSettings();

    CComputerTgtDev* const m_target;
    QComboBox* m_formatCombo = nullptr;
    CFlatButton* m_upButton = nullptr;
    QPushButton* m_settingsButton = nullptr;
};
