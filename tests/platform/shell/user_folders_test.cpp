#include "platform/shell/user_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;
using testing_files::WriteFileBytes;

TEST(UserDirFromText, ReadsQuotedHomeAndAbsolutePaths)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"XDG_VIDEOS_DIR=\"$HOME/Videos\"\n", "/home/anna/Videos"},
        {"# comment\nXDG_MUSIC_DIR=\"$HOME/Music\"\nXDG_VIDEOS_DIR=\"/data/Films\"\n", "/data/Films"},
        {"  XDG_VIDEOS_DIR = \"$HOME/My \\\"Films\\\"\"\r\n", ""},  // spaces around "=" are not shell syntax
        {"XDG_VIDEOS_DIR=\"$HOME/My \\\"Films\\\" \\$1\"", "/home/anna/My \"Films\" $1"},
        {"XDG_VIDEOS_DIR=\"$HOME\"", "/home/anna"},
        {"XDG_VIDEOS_DIR=\"$HOMEWORK/x\"", ""},
        {"XDG_VIDEOS_DIR=\"relative/x\"", ""},
        {"XDG_VIDEOS_DIR=$HOME/unquoted", ""},
        {"XDG_VIDEOS_DIR=\"$HOME/unterminated", ""},
        {"XDG_VIDEOS_DIR_OLD=\"/old\"", ""},
        {"XDG_VIDEOS_DIR=\"/first\"\nXDG_VIDEOS_DIR=\"/second\"", "/second"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserDirFromText(c.text, "XDG_VIDEOS_DIR", "/home/anna"), c.expected) << c.text;
}

TEST(SpecialFolderPath, TakesTheUserDirsFileAndFallsBackToTheUsualFolders)
{
    TempFolder temp;
    const std::string home = temp.File("home");
    UserEnvironment environment{home, temp.File("config"), ""};
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Videos, environment), home + "/Videos");  // no file
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::AppData, environment), home + "/.local/share");

    std::filesystem::create_directories(temp.File("config"));
    WriteFileBytes(temp.File("config/user-dirs.dirs"),
                   "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_VIDEOS_DIR=\"/srv/Videos\"\n");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Desktop, environment), home + "/Schreibtisch");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Videos, environment), "/srv/Videos");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Music, environment), home + "/Music");  // not named

    environment.configHome.clear();  // then it is home/.config
    environment.dataHome = "/xdg/data";
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Videos, environment), home + "/Videos");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::AppData, environment), "/xdg/data");
}

}  // namespace
