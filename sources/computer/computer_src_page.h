// The computer source's page: a folder combo, an up button and the media
// list of the folder, whose marked files are transferred. It starts in the
// user's videos folder and lists it again after every task and every change
// of files.
#pragma once

#include "ui/device_page.h"

class CComputerSrcDev;
class CExStatic;
class CFlatButton;
class CFolderCombo;
class CMediaListCtrl;

class CComputerSrcPage final : public CDevicePage {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 110;
    static constexpr int kFolderCombo = 1018;
    static constexpr int kMediaList = 1044;
    static constexpr int kLabel = 1019;
    static constexpr int kUpButton = 1017;

    CComputerSrcPage(CComputerSrcDev* device, CKestrelDoc* document);

    int GetTemplateId() const override { return kTemplateId; }
    void SetEraseHandler(CEraseHandler* handler) override;
    void OnFirstShow() override;
    void OnBroadcast(int code, void* param) override;
    void GetMarkedItems(QStringList& paths) override;
    void ClearMarks() override;

    CMediaListCtrl* MediaList() const { return m_mediaList; }
    CFolderCombo* FolderCombo() const { return m_folderCombo; }

protected:
    void OnInitDialog() override;

private:
    CFolderCombo* m_folderCombo = nullptr;
    CMediaListCtrl* m_mediaList = nullptr;
    CExStatic* m_label = nullptr;
    CFlatButton* m_upButton = nullptr;
};
