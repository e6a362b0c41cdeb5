#include "platform/shell/shell_namespace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_files::TempFolder;
using testing_files::WriteFileBytes;

// A machine in a temporary folder: a home, a desktop folder, a USB stick,
// a DVD, and an internal data disk that is no drive of "My Computer".
class ShellNamespaceTest : public testing::Test {
protected:
    ShellNamespaceTest() : shell(Places())
    {
        for (const char* folder : {"home/Desktop/Holiday", "stick/Films/Old", "dvd/VIDEO_TS", "data/x"})
            fs::create_directories(temp.File(folder));
        WriteFileBytes(temp.File("home/Desktop/notes.txt"), "");
        WriteFileBytes(temp.File("home/Desktop/.hidden"), "");
        WriteFileBytes(temp.File("stick/Films/b.mp4"), "");
        WriteFileBytes(temp.File("stick/Films/a.avi"), "");
    }

    ShellPlaces Places() const
    {
        return {temp.File("home"),
                temp.File("home/Desktop"),
                {{temp.File("data"), "/dev/sda2", "data", false, false},
                 {temp.File("stick"), "/dev/sdb1", "STICK", true, false},
                 {temp.File("dvd"), "/dev/sr0", "HOLIDAY_DVD", false, true}}};
    }

    std::vector<std::string> Names(const CNameSpaceItem& folder, bool foldersOnly) const
    {
        std::vector<std::string> names;
        for (const CNameSpaceItem& child : shell.EnumObjects(folder, foldersOnly)) {
            CNameSpaceItem absolute = folder;
            absolute.Append(child.Get());
            names.push_back(shell.GetDisplayName(absolute));
        }
        return names;
    }

    TempFolder temp;
    CShellNamespace shell;
};

TEST_F(ShellNamespaceTest, TheDesktopHoldsMyComputerHomeAndTheDesktopFolder)
{
    const CNameSpaceItem desktop;
    EXPECT_EQ(shell.GetDisplayName(desktop), "Desktop");
    EXPECT_EQ(shell.GetPath(desktop), temp.File("home/Desktop"));
    EXPECT_EQ(Names(desktop, true), (std::vector<std::string>{"My Computer", "home", "Holiday"}));
    EXPECT_EQ(Names(desktop, false), (std::vector<std::string>{"My Computer", "home", "Holiday", "notes.txt"}));
    EXPECT_EQ(shell.GetAttributes(desktop), SFGAO_FOLDER | SFGAO_FILESYSTEM);
}

TEST_F(ShellNamespaceTest, MyComputerHoldsTheDrivesByLabel)
{
    const CNameSpaceItem computer = CShellNamespace::Computer();
    EXPECT_EQ(shell.GetDisplayName(computer), "My Computer");
    EXPECT_EQ(shell.GetPath(computer), "");
    EXPECT_EQ(shell.GetAttributes(computer), SFGAO_FOLDER);
    EXPECT_EQ(Names(computer, true), (std::vector<std::string>{"STICK", "HOLIDAY_DVD"}));
}

TEST_F(ShellNamespaceTest, PathsMapToTheirDriveAndSegmentsAndBack)
{
    struct Case {
        std::string path;
        int depth;
        std::string name;
        uint32_t attributes;
    };
    const Case cases[] = {
        {temp.File("stick"), 2, "STICK", SFGAO_FOLDER | SFGAO_FILESYSTEM},
        {temp.File("stick/Films/a.avi"), 4, "a.avi", SFGAO_FILESYSTEM},
        {temp.File("stick/Films/Old"), 4, "Old", SFGAO_FOLDER | SFGAO_FILESYSTEM},
        {temp.File("home/Desktop/Holiday"), 3, "Holiday", SFGAO_FOLDER | SFGAO_FILESYSTEM},  // through home
    };
    for (const Case& c : cases) {
        const CNameSpaceItem item = shell.FromPath(c.path);
        EXPECT_EQ(item.GetDepth(), c.depth) << c.path;
        EXPECT_EQ(shell.GetPath(item), c.path);
        EXPECT_EQ(shell.GetDisplayName(item), c.name) << c.path;
        EXPECT_EQ(shell.GetAttributes(item), c.attributes) << c.path;
    }
    EXPECT_EQ(shell.FromPath(temp.File("stick/Films/../Films/./a.avi")), shell.FromPath(temp.File("stick/Films/a.avi")));
    EXPECT_EQ(shell.FromPath(temp.File("stick") + "/"), shell.FromPath(temp.File("stick")));
    // Neither on a drive nor below home, or not absolute: the desktop.
    EXPECT_EQ(shell.FromPath(temp.File("data/x")).GetDepth(), 0);
    EXPECT_EQ(shell.FromPath("relative/a.avi").GetDepth(), 0);
}

TEST_F(ShellNamespaceTest, FoldersListByNameAndVanishedOnesListEmpty)
{
    const CNameSpaceItem films = shell.FromPath(temp.File("stick/Films"));
    EXPECT_EQ(Names(films, false), (std::vector<std::string>{"Old", "a.avi", "b.mp4"}));
    EXPECT_EQ(Names(films, true), (std::vector<std::string>{"Old"}));
    fs::remove_all(temp.File("stick/Films"));
    EXPECT_TRUE(shell.EnumObjects(films, false).empty());
    EXPECT_EQ(shell.GetAttributes(films), SFGAO_FILESYSTEM);  // still a path, no longer a folder
}

TEST_F(ShellNamespaceTest, NamesThatAreNotUtf8RoundTrip)
{
    const std::string name = "clip \xff\xfe.mp4";
    WriteFileBytes(temp.File("stick/Films/" + name), "");
    const CNameSpaceItem films = shell.FromPath(temp.File("stick/Films"));
    EXPECT_EQ(Names(films, false), (std::vector<std::string>{"Old", "a.avi", "b.mp4", name}));
    EXPECT_EQ(shell.GetPath(shell.FromPath(temp.File("stick/Films/" + name))), temp.File("stick/Films/" + name));
}

TEST_F(ShellNamespaceTest, ListsNotMadeHereHaveNoPath)
{
    CNameSpaceItem stray;
    stray.AppendId("Vsomewhere");
    EXPECT_EQ(shell.GetPath(stray), "");
    EXPECT_EQ(shell.GetAttributes(stray), 0u);
    EXPECT_TRUE(shell.EnumObjects(stray, false).empty());
}

}  // namespace
