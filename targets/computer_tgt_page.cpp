#include "targets/computer_tgt_page.h"

#include <QComboBox>
#include <QPushButton>

#include "medialist/folder_combo.h"
#include "medialist/folder_link.h"
#include "medialist/media_list_ctrl.h"
#include "medialist/media_list_notify.h"
#include "platform/shell/shell_namespace.h"
#include "targets/computer_tgt_dev.h"
#include "targets/format_dlg.h"
#include "ui/dialog_units.h"
#include "ui/flat_button.h"

CComputerTgtPage::CComputerTgtPage(CComputerTgtDev* device, CKestrelDoc* document)
    : CTargetPage(device, document), m_target(device)
{
}

void CComputerTgtPage::OnInitDialog()
{
    CTargetPage::OnInitDialog();
    resize(DialogUnitsToPixels(font(), QRect(0, 0, 388, 238)).size());
    AddLabel(kFolderLabel, QStringLiteral("Target folder:"), QRect(7, 9, 80, 8));
    AddFolderCombo(kFolderCombo, QRect(91, 7, 266, 14));
    AddLabel(kFormatLabel, QStringLiteral("Target file format:"), QRect(7, 27, 80, 8));
    m_formatCombo = PlaceControl(new QComboBox(this), kFormatCombo, QRect(91, 25, 214, 14));
    m_settingsButton = PlaceControl(new QPushButton(QStringLiteral("Settings..."), this), kSettingsButton,
                                    QRect(311, 25, 70, 14));
    AddLabel(kProfileLabel, QStringLiteral("Profile:"), QRect(7, 45, 80, 8));
    AddProfileCombo(QRect(91, 43, 290, 14));
    AddLabel(kContentLabel, QStringLiteral("Current Content of Target Folder"), QRect(7, 63, 374, 8));
    AddMediaList(true, true, QRect(7, 75, 374, 156));
    m_upButton = AddUpButton(this, kUpButton, QRect(364, 7, 17, 14), *MediaList());

    for (int id : {kFolderLabel, kFormatLabel, kProfileLabel})
        AddAnchor(id, ANCHOR_LEFT | ANCHOR_TOP);
    for (int id : {kFolderCombo, kFormatCombo, kProfileCombo, kContentLabel})
        AddAnchor(id, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT);
    AddAnchor(kUpButton, ANCHOR_TOP | ANCHOR_RIGHT);
    AddAnchor(kSettingsButton, ANCHOR_TOP | ANCHOR_RIGHT);
    AddAnchor(kMediaList, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM);

    connect(m_formatCombo, &QComboBox::activated, this, &CComputerTgtPage::OnFormatChosen);
    connect(m_settingsButton, &QPushButton::clicked, this, &CComputerTgtPage::OnSettings);
    // Wherever the list goes, the files go.
    connect(MediaList(), &CMediaListCtrl::Notify, this, [this](int code) {
        if (code == MLCN_FOLDERCHANGED)
            OnFolderShown();
    });
    connect(FolderCombo(), &CFolderCombo::Notify, this, [this](int code) {
        if (code == FCN_SELCHANGE)
            OnFolderShown();
    });
}

void CComputerTgtPage::SetEraseHandler(CEraseHandler* handler)
{
    CTargetPage::SetEraseHandler(handler);
    m_upButton->SetEraseHandler(handler);
}

// The device's folder (the videos folder unless the user chose another).
void CComputerTgtPage::OnFirstShow()
{
    FillFormats();
    ShowFolder(*FolderCombo(), *MediaList(), CShellNamespace().FromPath(m_target->GetOutputFolder().toStdString()));
    FillProfiles();
}

QString CComputerTgtPage::GetCurrentFolderPath() const
{
    return m_target->GetOutputFolder();
}

// The handlers' format names, the device's current one selected.
void CComputerTgtPage::FillFormats()
{
    m_formatCombo->clear();
    const QList<CTargetHandler*> handlers = m_target->Handlers();
    for (const CTargetHandler* handler : handlers)
        m_formatCombo->addItem(handler->GetFormatName());
    m_formatCombo->setCurrentIndex(static_cast<int>(handlers.indexOf(m_target->CurrentHandler())));
}

CTargetHandler* CComputerTgtPage::CurrentHandler() const
{
    return m_target->CurrentHandler();
}

void CComputerTgtPage::OnFormatChosen(int index)
{
    m_target->SetCurrentHandler(m_target->Handlers().value(index));
    m_target->SaveChoices();
    FillProfiles();
}

void CComputerTgtPage::OnProfileChosen()
{
    m_target->SaveChoices();
}

// A place without a path ("My Computer") keeps the folder the files went to.
void CComputerTgtPage::OnFolderShown()
{
    const QString folder = MediaList()->GetCurrentFolderPath();
    if (folder.isEmpty())
        return;
    m_target->SetOutputFolder(folder);
    m_target->SaveChoices();
}

void CComputerTgtPage::OnSettings()
{
    if (CTargetHandler* handler = CurrentHandler()) {
        CFormatDlg dialog(handler, this);
        dialog.exec();
    }
}
