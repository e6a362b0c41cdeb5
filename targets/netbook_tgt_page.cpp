#include "targets/netbook_tgt_page.h"

#include "medialist/folder_combo.h"
#include "medialist/media_list_ctrl.h"
#include "medialist/media_list_notify.h"
#include "platform/shell/shell_namespace.h"
#include "targets/netbook_tgt_dev.h"
#include "targets/removable_drives.h"
#include "ui/dialog_units.h"
#include "ui/document_events.h"

CNetbookTgtPage::CNetbookTgtPage(CNetbookTgtDev* device, CKestrelDoc* document)
    : CTargetPage(device, document), m_target(device)
{
}

void CNetbookTgtPage::OnInitDialog()
{
    CTargetPage::OnInitDialog();
    resize(DialogUnitsToPixels(font(), QRect(0, 0, 388, 238)).size());
    AddLabel(kDriveLabel, QStringLiteral("Drive with USB Stick:"), QRect(7, 9, 80, 8));
    AddFolderCombo(kDriveCombo, QRect(91, 7, 290, 14));
    AddLabel(kProfileLabel, QStringLiteral("Profile:"), QRect(7, 27, 80, 8));
    AddProfileCombo(QRect(91, 25, 290, 14));
    AddLabel(kContentLabel, QStringLiteral("Current Content of USB Stick"), QRect(7, 45, 374, 8));
    // Videos at the drive's root only: the netbook's player looks nowhere else.
    AddMediaList(false, false, QRect(7, 57, 374, 174));

    for (int id : {kDriveLabel, kProfileLabel})
        AddAnchor(id, ANCHOR_LEFT | ANCHOR_TOP);
    for (int id : {kDriveCombo, kProfileCombo, kContentLabel})
        AddAnchor(id, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT);
    AddAnchor(kMediaList, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM);

    connect(FolderCombo(), &CFolderCombo::Notify, this, [this](int code) {
        if (code == FCN_SELCHANGE)
            m_target->SelectDrive(MediaList()->GetCurrentFolderPath());
    });
}

void CNetbookTgtPage::OnFirstShow()
{
    RefreshDrives();
    FillProfiles();
}

void CNetbookTgtPage::OnBroadcast(int code, void* param)
{
    if (!IsFirstShowPending() && (code == EVENT_DEVICE_ARRIVED || code == EVENT_DEVICE_REMOVED))
        RefreshDrives();
    else
        CTargetPage::OnBroadcast(code, param);
}

QString CNetbookTgtPage::GetCurrentFolderPath() const
{
    return m_target->GetOutputFolder();
}

// With no drive the combo is empty and the list keeps what it showed.
void CNetbookTgtPage::RefreshDrives()
{
    CFolderCombo& combo = *FolderCombo();
    combo.clear();
    const QStringList drives = ListRemovableDrives();
    const CShellNamespace desktop;
    for (const QString& root : drives)
        combo.AddFolderItem(desktop.FromPath(root.toStdString()), 0);
    if (drives.isEmpty())
        return;
    combo.setCurrentIndex(0);
    combo.SetCurrent(combo.FolderAt(0));
    m_target->SelectDrive(drives.first());
    MediaList()->BrowseFolder(combo.Current());
}

CTargetHandler* CNetbookTgtPage::CurrentHandler() const
{
    return m_target->CurrentHandler();
}
