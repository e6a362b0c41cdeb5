#include "targets/target_page.h"

#include <QComboBox>

#include "medialist/folder_combo.h"
#include "medialist/folder_link.h"
#include "medialist/media_list_ctrl.h"
#include "targets/target_handler.h"
#include "targets/target_profile.h"
#include "ui/dialog_units.h"
#include "ui/document_events.h"
#include "ui/ex_static.h"

void CTargetPage::SetEraseHandler(CEraseHandler* handler)
{
    CDevicePage::SetEraseHandler(handler);
    for (CExStatic* label : m_labels)
        label->SetEraseHandler(handler);
}

// After a task the list shows what was just written.
void CTargetPage::OnBroadcast(int code, void*)
{
    if (IsFirstShowPending())
        return;
    if (code == EVENT_TASK_FINISHED || code == EVENT_TASK_ABORTED || code == EVENT_FILES_CHANGED)
        m_mediaList->BrowseFolder(m_folderCombo->Current());
}

// The combo shows the profile in use (the first after start), so that the
// handler's settings and the combo never disagree.
void CTargetPage::FillProfiles()
{
    m_profileCombo->clear();
    const CTargetHandler* handler = CurrentHandler();
    if (!handler)
        return;
    for (const CTargetProfile* profile : handler->Profiles())
        m_profileCombo->addItem(profile->name);
    m_profileCombo->setCurrentIndex(std::min(handler->CurrentProfile(), m_profileCombo->count() - 1));
}

CExStatic* CTargetPage::AddLabel(int id, const QString& text, const QRect& units)
{
    CExStatic* label = PlaceControl(new CExStatic(text, this), id, units);
    m_labels << label;
    return label;
}

void CTargetPage::AddFolderCombo(int id, const QRect& units)
{
    m_folderCombo = PlaceControl(new CFolderCombo(this), id, units);
}

void CTargetPage::AddProfileCombo(const QRect& units)
{
    m_profileCombo = PlaceControl(new QComboBox(this), kProfileCombo, units);
    connect(m_profileCombo, &QComboBox::activated, this, [this](int index) {
        if (CTargetHandler* handler = CurrentHandler()) {
            handler->SelectProfile(index);
            OnProfileChosen();
        }
    });
}

// The list follows the combo; deleting or renaming files in it tells every page.
void CTargetPage::AddMediaList(bool showFolders, bool showAudio, const QRect& units)
{
    m_mediaList = new CMediaListCtrl(this);
    m_mediaList->MutableOptions().showMarks = false;
    m_mediaList->MutableOptions().showFolders = showFolders;
    m_mediaList->MutableOptions().showAudio = showAudio;
    m_mediaList->Create();
    PlaceControl(m_mediaList, kMediaList, units);
    LinkFolderComboAndList(*m_folderCombo, *m_mediaList, [this] { emit BroadcastRequested(EVENT_FILES_CHANGED); });
}
