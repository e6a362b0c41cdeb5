// The user's special folders, as the XDG user directories name them: the
// desktop, videos and music folders from user-dirs.dirs in the config
// folder, and the application data folder (XDG_DATA_HOME). A folder the
// file does not name (or names badly) is the usual one under home.
#pragma once

#include <string>
#include <string_view>

enum class SpecialFolder { Desktop, Videos, Music, AppData };

// Where the folders are looked up; Current() reads the process environment.
struct UserEnvironment {
    std::string home;
    std::string configHome;  // empty: home/.config
    std::string dataHome;    // empty: home/.local/share
    static UserEnvironment Current();
};

std::string SpecialFolderPath(SpecialFolder folder, const UserEnvironment& environment = UserEnvironment::Current());

// The folder that user-dirs.dirs text gives for a key such as
// "XDG_VIDEOS_DIR"; empty when the text does not name one. Values are
// "$HOME/..." or absolute paths in double quotes, with \" \\ \$ \` escapes.
std::string UserDirFromText(std::string_view text, std::string_view key, const std::string& home);
