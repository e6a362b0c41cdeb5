// The folder combo and the media list of a page follow each other: walking
// in the list re-fills the combo, choosing in the combo re-lists the list.
// Deleting or renaming files in the list calls `filesChanged` (the page
// then has the document tell every page).
#pragma once

#include <functional>

#include "platform/shell/item_id_list.h"

class CFlatButton;
class CFolderCombo;
class CMediaListCtrl;
class QRect;
class QWidget;

void LinkFolderComboAndList(CFolderCombo& combo, CMediaListCtrl& list, std::function<void()> filesChanged);

// The up-one-level button of a folder page, in the pages' system colours
// with picture 372, placed at `units` under `id`; a click takes the list
// one level up.
CFlatButton* AddUpButton(QWidget* page, int id, const QRect& units, CMediaListCtrl& list);

// Lists the folder and shows it in the combo.
void ShowFolder(CFolderCombo& combo, CMediaListCtrl& list, const CNameSpaceItem& folder);

// The user's videos folder; the desktop when it does not exist.
CNameSpaceItem UserVideosFolder();
