#include "sources/computer/computer_src_page.h"

#include "medialist/folder_combo.h"
#include "medialist/folder_link.h"
#include "medialist/media_list_ctrl.h"
#include "sources/computer/computer_src_dev.h"
#include "ui/dialog_units.h"
#include "ui/document_events.h"
#include "ui/ex_static.h"
#include "ui/flat_button.h"

CComputerSrcPage::CComputerSrcPage(CComputerSrcDev* device, CKestrelDoc* document) : CDevicePage(device, document)
{
}

void CComputerSrcPage::OnInitDialog()
{
    CDevicePage::OnInitDialog();
    resize(DialogUnitsToPixels(font(), QRect(0, 0, 388, 238)).size());
    m_label = PlaceControl(new CExStatic(QStringLiteral("Source Folder:"), this), kLabel, QRect(7, 9, 73, 8));
    m_folderCombo = PlaceControl(new CFolderCombo(this), kFolderCombo, QRect(91, 7, 266, 14));
    m_mediaList = new CMediaListCtrl(this);
    m_mediaList->MutableOptions().showAudio = true;
    m_mediaList->MutableOptions().acceptDrops = true;
    m_mediaList->Create();
    PlaceControl(m_mediaList, kMediaList, QRect(7, 28, 374, 203));
    m_upButton = AddUpButton(this, kUpButton, QRect(364, 7, 17, 14), *m_mediaList);

    AddAnchor(kLabel, ANCHOR_LEFT | ANCHOR_TOP);
    AddAnchor(kFolderCombo, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT);
    AddAnchor(kUpButton, ANCHOR_TOP | ANCHOR_RIGHT);
    AddAnchor(kMediaList, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM);

    LinkFolderComboAndList(*m_folderCombo, *m_mediaList, [this] { emit BroadcastRequested(EVENT_FILES_CHANGED); });
}

void CComputerSrcPage::SetEraseHandler(CEraseHandler* handler)
{
    CDevicePage::SetEraseHandler(handler);
    m_label->SetEraseHandler(handler);
    m_upButton->SetEraseHandler(handler);
}

void CComputerSrcPage::OnFirstShow()
{
    ShowFolder(*m_folderCombo, *m_mediaList, UserVideosFolder());
}

void CComputerSrcPage::OnBroadcast(int code, void*)
{
    if (IsFirstShowPending())
        return;
    if (code == EVENT_TASK_FINISHED || code == EVENT_TASK_ABORTED || code == EVENT_FILES_CHANGED)
        m_mediaList->BrowseFolder(m_folderCombo->Current());
}

void CComputerSrcPage::GetMarkedItems(QStringList& paths)
{
    m_mediaList->GetMarkedItems(paths);
}

void CComputerSrcPage::ClearMarks()
{
    m_mediaList->ClearMarks();
}
