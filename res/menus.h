// The program's menus as plain data: the main menu (resource 128) and the
// context menus 119, 348 and 349, each a list of top-level popups whose
// children are the commands. Texts keep their "&" mnemonics, their "\t"
// accelerators and the "§APPNAME§" placeholder; the frame replaces the
// placeholder and turns the data into QMenus.
#pragma once

#include <vector>

// Command ids of the menu items.
enum MenuCommand : int {
    ID_OPEN_VIDEO_EDITOR = 32772,
    ID_POWER_OFF_WHEN_FINISHED = 32777,
    ID_PLAY_FOCUSED = 32784,
    ID_RENAME = 32785,
    ID_DELETE_SELECTED = 32786,
    ID_SHOW_PROPERTIES = 32787,
    ID_OPEN_IN_VIDEO_EDITOR = 32788,
    ID_SHOW_TASK_LIST = 32789,
    ID_CHECK_UPDATES_ON_START = 32798,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_CONTENTS = 57666,
};

// Menu resource ids.
enum MenuId : int {
    IDR_POPUP_EDIT = 119,
    IDR_MAINFRAME = 128,
    IDR_MEDIA_LIST = 348,
    IDR_DVD_TITLE_LIST = 349,
};

struct MenuEntry {
    int id;                          // the command; 0 for a popup
    const char* text;                // UTF-8
    std::vector<MenuEntry> children; // the popup's items
};

// The top-level popups of menu `id`; empty for an id that is no menu.
const std::vector<MenuEntry>& LoadMenu(int id);
