#include "medialist/folder_combo.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "medialist/media_list_notify.h"
#include "tests/app/qstring_printer.h"
#include "tests/medialist/media_list_test_support.h"

namespace {

using namespace medialist_testing;

constexpr int kIndentRole = Qt::UserRole + 1;

// The combo for the videos folder: the desktop and its children, "My
// Computer" with its drives, and the chain down to the videos folder below
// the drive that holds it, each one deeper; the videos folder selected.
TEST(FolderCombo, ShowsTheChainDownToTheFolderBelowTheDesktopAndTheDrives)
{
    testing_files::TempHome home;
    const CShellNamespace desktop;
    const CNameSpaceItem videos = desktop.FromPath(home.Videos());
    CFolderCombo combo;
    combo.SetFolder(videos);

    std::vector<CNameSpaceItem> entries;
    for (int index = 0; index < combo.count(); ++index)
        entries.push_back(combo.FolderAt(index));
    const auto listed = [&entries](const CNameSpaceItem& folder) {
        return std::find(entries.begin(), entries.end(), folder) != entries.end();
    };
    EXPECT_EQ(entries.front(), CNameSpaceItem());
    EXPECT_EQ(combo.itemData(0, kIndentRole).toInt(), 0);
    for (const CNameSpaceItem& child : desktop.EnumObjects(CNameSpaceItem(), true))
        EXPECT_TRUE(listed(child)) << desktop.GetDisplayName(child);
    for (const CNameSpaceItem& drive : desktop.EnumObjects(CShellNamespace::Computer(), true)) {
        CNameSpaceItem full = CShellNamespace::Computer();
        full.Append(drive.Get());
        EXPECT_TRUE(listed(full)) << desktop.GetDisplayName(full);
    }

    // From the selected entry up, each entry is the parent of the one below.
    ASSERT_EQ(combo.currentText(), "Videos");
    EXPECT_EQ(combo.Current(), videos);
    CNameSpaceItem at = videos;
    for (int index = combo.currentIndex(); at.GetDepth() > 2; --index) {
        EXPECT_EQ(combo.FolderAt(index), at) << index;
        EXPECT_EQ(combo.itemData(index, kIndentRole).toInt(), at.GetDepth()) << index;
        at.RemoveLast();
    }
}

TEST(FolderCombo, ChoosingAnEntryTellsThePageWithTheFolderChosen)
{
    testing_files::TempHome home;
    CFolderCombo combo;
    combo.SetFolder(CShellNamespace().FromPath(home.Videos()));
    QList<int> notes;
    QObject::connect(&combo, &CFolderCombo::Notify, [&notes](int code) { notes << code; });
    combo.setCurrentIndex(0);
    emit combo.activated(0);
    EXPECT_EQ(notes, QList<int>{FCN_SELCHANGE});
    EXPECT_EQ(combo.Current().GetDepth(), 0);
    EXPECT_EQ(combo.count(), static_cast<int>(combo.BuildFolderList(CShellNamespace().FromPath(home.Videos())).size()))
        << "choosing does not fill the combo again";
}

}  // namespace
