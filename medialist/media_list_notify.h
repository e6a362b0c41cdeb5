// What the media list and the folder combo tell the page they lie in. The
// codes keep their numbers: pages switch on them.
#pragma once

enum MediaListNotification : int {
    FCN_SELCHANGE = 1000,       // the user chose a folder in the combo
    MLCN_CLICK = 2001,          // after every left button press (a mark may have changed)
    MLCN_FOLDERCHANGED = 2002,  // the list walked into a folder or one level up
    MLCN_CONTEXTMENU = 2003,    // a context menu is wanted on custom rows
    MLCN_ACTIVATE = 2004,       // a row without a shell item was double-clicked
    MLCN_DELETED = 2005,        // files were deleted
    MLCN_RENAMED = 2006,        // a file was renamed
    MLCN_DELETEREQUEST = 2007,  // Delete was asked for on custom rows
};
