#include "res/menus.h"

#include <map>

namespace {

const std::map<int, std::vector<MenuEntry>>& Menus()
{
    static const std::map<int, std::vector<MenuEntry>> menus = {
        {IDR_MAINFRAME,
         {
             {0, "&File", {{ID_APP_EXIT, "E&xit", {}}}},
             {0,
              "&Extras",
              {
                  {ID_OPEN_VIDEO_EDITOR, "Open &Video Editor...", {}},
                  {ID_SHOW_TASK_LIST, "Show List of Active &Tasks...", {}},
                  {ID_POWER_OFF_WHEN_FINISHED, "Turn &Off Computer when Finished...", {}},
              }},
             {0,
              "&Help",
              {
                  {ID_HELP_CONTENTS, "&Help Contents...\tF1", {}},
                  {ID_CHECK_UPDATES_ON_START, "Check for &Updates on Start", {}},
                  {ID_APP_ABOUT, "&About §APPNAME§...", {}},
              }},
         }},
        {IDR_POPUP_EDIT,
         {
             {0,
              "Edit",
              {
                  {ID_EDIT_CUT, "Cu&t\tCtrl+X", {}},
                  {ID_EDIT_COPY, "&Copy\tCtrl+C", {}},
                  {ID_EDIT_PASTE, "&Paste\tCtrl+V", {}},
              }},
         }},
        {IDR_MEDIA_LIST,
         {
             {0,
              "Media List",
              {
                  {ID_PLAY_FOCUSED, "&Play...", {}},
                  {ID_OPEN_IN_VIDEO_EDITOR, "Open in Video Editor...", {}},
                  {ID_RENAME, "&Rename...", {}},
                  {ID_DELETE_SELECTED, "&Delete...", {}},
                  {ID_SHOW_PROPERTIES, "Show &Properties...", {}},
              }},
         }},
        {IDR_DVD_TITLE_LIST, {{0, "DVD Title List", {{ID_SHOW_PROPERTIES, "Show &Properties...", {}}}}}},
    };
    return menus;
}

}  // namespace

const std::vector<MenuEntry>& LoadMenu(int id)
{
    static const std::vector<MenuEntry> none;
    const auto menu = Menus().find(id);
    return menu == Menus().end() ? none : menu->second;
}
