#include "medialist/media_list_ctrl.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "medialist/media_list_notify.h"
#include "platform/shell/shell_namespace.h"
#include "tests/app/qstring_printer.h"
#include "tests/app/recording_presenters.h"
#include "tests/medialist/media_list_test_support.h"

namespace {

using namespace medialist_testing;
using testing_media::MakeMedia;

class MediaListTest : public testing::Test {
protected:
    MediaListTest() { folder = home.Videos(); }

    void MakeList(bool showAudio = true, bool acceptDrops = false)
    {
        notes.clear();
        list = std::make_unique<CMediaListCtrl>();
        list->MutableOptions().showAudio = showAudio;
        list->MutableOptions().acceptDrops = acceptDrops;
        list->Create();
        list->resize(500, 400);
        list->show();
        QObject::connect(list.get(), &CMediaListCtrl::Notify, [this](int code) { notes << code; });
    }

    CNameSpaceItem Folder(const std::string& path) const { return CShellNamespace().FromPath(path); }
    bool Browse(const std::string& path) { return list->BrowseFolder(Folder(path)); }
    void Make(const std::string& name, const char* arguments)
    {
        ASSERT_TRUE(MakeMedia(folder + "/" + name, arguments)) << name;
    }
    void Touch(const std::string& name) const { std::ofstream(folder + "/" + name) << "x"; }

    QStringList Names() const
    {
        QStringList names;
        for (int row = 0; row < list->GetItemCount(); ++row)
            names << list->Row(row).item.m_strName;
        return names;
    }
    int RowOf(const QString& name) const { return static_cast<int>(Names().indexOf(name)); }
    QPoint CellCentre(int row, int column) const
    {
        const QRect rect = list->visualRect(list->model()->index(row, column));
        return column == 0 ? QPoint(rect.left() + 18, rect.center().y()) : rect.center();
    }

    testing_files::TempHome home;
    program_testing::RecordingPresenter presenter;
    std::string folder;
    std::unique_ptr<CMediaListCtrl> list;
    QList<int> notes;
};

TEST_F(MediaListTest, FoldersComeFirstThenTheMediaFilesTheOptionsAllow)
{
    std::filesystem::create_directories(folder + "/b-folder");
    std::filesystem::create_directories(folder + "/a-folder");
    Make("clip.mp4", kVideoArguments);
    Make("song.mp3", kAudioArguments);
    Touch("notes.txt");
    struct Case {
        bool showAudio;
        QStringList names;
    };
    for (const Case& c : {Case{true, {"a-folder", "b-folder", "clip.mp4", "song.mp3"}},
                          Case{false, {"a-folder", "b-folder", "clip.mp4"}}}) {
        MakeList(c.showAudio);
        EXPECT_TRUE(Browse(folder));
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(list->Row(0).item.m_nKind, MK_FOLDER);
        EXPECT_TRUE(list->GetItemText(0).startsWith("a-folder\nFolder"));
    }
}

TEST_F(MediaListTest, TheWorkerFillsInDetailsAndThumbnailsWithoutHoldingTheWindow)
{
    Make("clip.mp4", kVideoArguments);
    Make("song.mp3", kAudioArguments);
    std::ofstream(folder + "/broken.avi") << std::string(4096, 'Z');
    MakeList();
    ASSERT_TRUE(Browse(folder));
    // Rows come at once, with the default text.
    for (int row = 0; row < list->GetItemCount(); ++row)
        EXPECT_TRUE(list->GetItemText(row).contains("Reading file information...")) << row;
    ASSERT_TRUE(ProcessEventsUntil([&] { return AllRowsRead(*list); }));
    EXPECT_TRUE(list->GetItemText(RowOf("clip.mp4")).contains("Resolution:\t320 x 240"));
    EXPECT_EQ(list->Row(RowOf("clip.mp4")).item.m_image.Width(), 64);
    EXPECT_TRUE(list->GetItemText(RowOf("song.mp3")).contains("Duration:\t0:01"));
    EXPECT_TRUE(list->GetItemText(RowOf("broken.avi")).contains("Unknown format"));
}

TEST_F(MediaListTest, FoldersThatCannotBeReadListNothingAndOddNamesStillList)
{
    MakeList();
    EXPECT_FALSE(Browse(folder + "/gone"));
    EXPECT_EQ(list->GetItemCount(), 0);

    // A name that is not UTF-8, and a link that loops back to its folder.
    Make(std::string("odd-\xff-name.mp4"), kVideoArguments);
    std::filesystem::create_directory_symlink(folder, folder + "/loop");
    ASSERT_TRUE(Browse(folder));
    EXPECT_EQ(list->GetItemCount(), 2);
    ASSERT_TRUE(ProcessEventsUntil([&] { return AllRowsRead(*list); }));

    // Walking into the loop just lists the same files again.
    list->setCurrentIndex(list->model()->index(RowOf("loop"), 1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(RowOf("loop"), 2));
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(notes.count(MLCN_FOLDERCHANGED), 1);
}

TEST_F(MediaListTest, AFileRemovedWhileTheWorkerReadsShowsUnknownFormat)
{
    Make("clip.mp4", kVideoArguments);
    MakeList();
    ASSERT_TRUE(Browse(folder));
    std::filesystem::remove(folder + "/clip.mp4");
    ASSERT_TRUE(ProcessEventsUntil([&] { return AllRowsRead(*list); }));
    EXPECT_TRUE(list->GetItemText(0).contains("Unknown format"));
}

TEST_F(MediaListTest, MarksToggleOnceByClickAndAllByTheHeaderFoldersNever)
{
    std::filesystem::create_directories(folder + "/sub");
    Make("a.mp4", kVideoArguments);
    Make("b.mp3", kAudioArguments);
    MakeList();
    ASSERT_TRUE(Browse(folder));
    const int a = RowOf("a.mp4");

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(a, 0));
    EXPECT_TRUE(list->Row(a).marked);
    EXPECT_EQ(notes.count(MLCN_CLICK), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(RowOf("sub"), 0));
    EXPECT_FALSE(list->Row(RowOf("sub")).marked);

    // One file unmarked: the header marks all files; then all marked: unmarks.
    const auto headerClick = [&] { emit list->header()->sectionClicked(0); };
    headerClick();
    EXPECT_TRUE(list->Row(a).marked && list->Row(RowOf("b.mp3")).marked);
    EXPECT_FALSE(list->Row(RowOf("sub")).marked);
    headerClick();
    EXPECT_FALSE(list->Row(a).marked || list->Row(RowOf("b.mp3")).marked);
}

TEST_F(MediaListTest, WithNothingMarkedTheUserIsAskedForTheSelectedFiles)
{
    std::filesystem::create_directories(folder + "/sub");
    Make("a.mp4", kVideoArguments);
    MakeList();
    ASSERT_TRUE(Browse(folder));
    list->selectAll();
    struct Case {
        bool answer;
        QStringList paths;
    };
    for (const Case& c : {Case{false, {}}, Case{true, {Q(folder + "/a.mp4")}}}) {
        presenter.answer = c.answer;
        QStringList paths;
        list->GetMarkedItems(paths);
        EXPECT_EQ(paths, c.paths);
    }
    EXPECT_EQ(presenter.questions.size(), 2);
    EXPECT_TRUE(presenter.questions.first().startsWith("None of the source videos are marked"));
}

TEST_F(MediaListTest, ListingTheSameFolderAgainKeepsTheMarksByPath)
{
    Make("b.mp4", kVideoArguments);
    MakeList();
    ASSERT_TRUE(Browse(folder));
    list->SetMarked(0, true);
    Make("a.mp4", kVideoArguments);  // comes first after the re-list
    ASSERT_TRUE(list->Refresh());
    QStringList paths;
    list->GetMarkedItems(paths);
    EXPECT_EQ(paths, QStringList{Q(folder + "/b.mp4")});
    EXPECT_TRUE(presenter.questions.isEmpty());
}

TEST_F(MediaListTest, WalkingUpAndIntoFoldersTellsThePage)
{
    std::filesystem::create_directories(folder + "/sub");
    MakeList();
    ASSERT_TRUE(Browse(folder));
    list->setCurrentIndex(list->model()->index(0, 1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(0, 2));
    EXPECT_EQ(list->GetCurrentFolderPath(), Q(folder + "/sub"));
    list->UpOneLevel();
    EXPECT_EQ(list->GetCurrentFolderPath(), Q(folder));
    EXPECT_EQ(notes.count(MLCN_FOLDERCHANGED), 2);

    ASSERT_TRUE(list->BrowseFolder(CNameSpaceItem()));
    list->UpOneLevel();
    EXPECT_EQ(list->Folder().GetDepth(), 0) << "the desktop stays the desktop";
}

TEST_F(MediaListTest, RenameWaitsForTheWorkerAndRenamesTheFileChosenKeepingItsExtension)
{
    Make("clip.mp4", kVideoArguments);
    Make("taken.mp4", kVideoArguments);
    MakeList();
    ASSERT_TRUE(Browse(folder));
    list->selectionModel()->clearSelection();
    list->selectionModel()->select(list->model()->index(RowOf("clip.mp4"), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(list.get(), Qt::Key_F2);
    auto* edit = list->viewport()->findChild<QLineEdit*>("100");
    EXPECT_TRUE(edit == nullptr || !edit->isVisible()) << "no rename while the worker reads";

    ASSERT_TRUE(ProcessEventsUntil([&] { return AllRowsRead(*list); }));
    QTest::keyClick(list.get(), Qt::Key_F2);
    edit = list->viewport()->findChild<QLineEdit*>("100");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "clip");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(QFile::exists(Q(folder + "/clip.mp4")));

    // The list is listed again under the open edit (a task ended): the
    // file chosen is renamed, not the row that moved into its place.
    QTest::keyClick(list.get(), Qt::Key_F2);
    Make("a-first.mp4", kVideoArguments);
    ASSERT_TRUE(list->Refresh());
    edit->setText("holiday");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(QFile::exists(Q(folder + "/holiday.mp4")));
    EXPECT_TRUE(QFile::exists(Q(folder + "/a-first.mp4")));
    EXPECT_EQ(notes.count(MLCN_RENAMED), 1);

    // A name that is taken never replaces the other file.
    ASSERT_TRUE(ProcessEventsUntil([&] { return AllRowsRead(*list); }));
    list->selectionModel()->clearSelection();
    list->selectionModel()->select(list->model()->index(RowOf("holiday.mp4"), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const auto takenSize = std::filesystem::file_size(folder + "/taken.mp4");
    QTest::keyClick(list.get(), Qt::Key_F2);
    edit->setText("taken");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(QFile::exists(Q(folder + "/holiday.mp4")));
    EXPECT_EQ(std::filesystem::file_size(folder + "/taken.mp4"), takenSize);
}

TEST_F(MediaListTest, DeleteAsksThenMovesFilesToTheTrashAndCustomRowsOnlyAsk)
{
    Make("clip.mp4", kVideoArguments);
    MakeList();
    ASSERT_TRUE(Browse(folder));
    list->selectAll();
    presenter.answer = false;
    QTest::keyClick(list.get(), Qt::Key_Delete);
    EXPECT_TRUE(QFile::exists(Q(folder + "/clip.mp4")));
    presenter.answer = true;
    QTest::keyClick(list.get(), Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(Q(folder + "/clip.mp4")));
    EXPECT_TRUE(QFile::exists(Q(home.Data() + "/Trash/files/clip.mp4")));
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(notes.count(MLCN_DELETED), 1);

    MakeList();
    list->AddCustomItem(0, "Title 1\nDuration:\t1:00", QImage(), false);
    list->selectAll();
    QTest::keyClick(list.get(), Qt::Key_Delete);
    EXPECT_EQ(notes, QList<int>{MLCN_DELETEREQUEST});
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(presenter.questions.size(), 2);
}

TEST_F(MediaListTest, CustomRowsAreMarkedByIndexAndActivateThePage)
{
    MakeList();
    EXPECT_EQ(list->AddCustomItem(0, "Track 2", QImage(), false), 0);
    EXPECT_EQ(list->AddCustomItem(0, "Track 1", QImage(), false), 0);
    EXPECT_EQ(list->AddCustomItem(5, "Track 3", QImage(), false), 2);
    list->SetMarked(2, true);
    QList<int> marked;
    list->GetMarkedIndices(marked, true);
    EXPECT_EQ(marked, QList<int>{2});
    list->setCurrentIndex(list->model()->index(1, 1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCentre(1, 2));
    EXPECT_TRUE(notes.contains(MLCN_ACTIVATE));
}

TEST_F(MediaListTest, DroppedFilesAreListedAndMarked)
{
    Make("here.mp4", kVideoArguments);
    const std::string elsewhere = home.Home() + "/elsewhere.mp3";
    ASSERT_TRUE(MakeMedia(elsewhere, kAudioArguments));
    MakeList(true, true);
    ASSERT_TRUE(Browse(folder));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q(folder + "/here.mp4")), QUrl::fromLocalFile(Q(elsewhere)),
                  QUrl::fromLocalFile(Q(home.Home() + "/.config/user-dirs.dirs"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);

    EXPECT_EQ(Names(), (QStringList{"here.mp4", "elsewhere.mp3"}));
    QStringList paths;
    list->GetMarkedItems(paths);
    EXPECT_EQ(paths, (QStringList{Q(folder + "/here.mp4"), Q(elsewhere)}));
    ASSERT_TRUE(ProcessEventsUntil([&] { return AllRowsRead(*list); }));
    EXPECT_TRUE(list->GetItemText(1).contains("Duration:"));
}

}  // namespace
