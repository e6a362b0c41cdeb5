// The folder combo and the media list of a page follow each other: walking
// in the list re-fills the combo, choosing in the combo re-lists the list.
// Deleting or renaming files in the list calls `filesChanged` (the page
// then has the document tell every page).
#pragma once

#include <functional>

#include "platform/shell/item_id_list.h"

class CFolderCombo;
class CMediaListCtrl;

void LinkFolderComboAndList(CFolderCombo& combo, CMediaListCtrl& list, std::function<void()> filesChanged);

// Lists the folder and shows it in the combo.
void ShowFolder(CFolderCombo& combo, CMediaListCtrl& list, const CNameSpaceItem& folder);

// The user's videos folder; the desktop when it does not exist.
CNameSpaceItem UserVideosFolder();
