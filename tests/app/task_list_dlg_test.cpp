#include "app/task_list_dlg.h"

#include <QListWidget>
#include <QProgressBar>
#include <gtest/gtest.h>

#include "app/kestrel_doc.h"
#include "pipeline/transcode_task.h"
#include "tests/app/recording_presenters.h"
#include "tests/app/scripted_devices.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace program_testing;

class TaskListTest : public testing::Test {
protected:
    TaskListTest() : source(&document), target(&document, QString::fromStdString(folder.Path().string()))
    {
        source.settings.count = -1;  // tasks run until aborted
    }

    QListWidget* Pending(CTaskListDlg& dialog)
    {
        return dialog.findChild<QListWidget*>(QString::number(CTaskListDlg::PendingList));
    }
    QStringList Entries(CTaskListDlg& dialog)
    {
        QStringList entries;
        for (int row = 0; row < Pending(dialog)->count(); ++row)
            entries << Pending(dialog)->item(row)->text();
        return entries;
    }

    RecordingPresenter presenter;
    testing_files::TempFolder folder;
    CKestrelDoc document;
    ScriptedSource source;
    ScriptedTarget target;
};

TEST_F(TaskListTest, ListsTheWaitingTasksAndRemovesTheSelectedOnes)
{
    const QStringList items = {"/v/Run.mp4", "/v/A.mp4", "/v/B.mp4", "/v/C.mp4"};
    document.QueueTasks(&source, &items, &target);
    CTaskListDlg dialog(&document, false);
    dialog.Tick();  // starts Run; the pending list still shows all four
    dialog.Tick();
    ASSERT_EQ(Entries(dialog), QStringList({"Transferring A", "Transferring B", "Transferring C"}));
    Pending(dialog)->item(1)->setSelected(true);
    Pending(dialog)->item(2)->setSelected(true);
    dialog.AbortSelectedTasks();
    dialog.Tick();
    EXPECT_EQ(Entries(dialog), QStringList({"Transferring A"}));
    ASSERT_NE(document.CurrentTask(), nullptr);
    EXPECT_EQ(document.CurrentTask()->GetName(), "Run");
}

TEST_F(TaskListTest, UnattendedClosesOnceTheQueueIsIdle)
{
    source.settings.count = 10;
    const QStringList items = {"/v/One.mp4", "/v/Two.mp4"};
    document.QueueTasks(&source, &items, &target);
    CTaskListDlg dialog(&document, true);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);  // returns only because the queue ran empty
    EXPECT_TRUE(document.Queue().empty());
    EXPECT_EQ(document.CurrentTask(), nullptr);
    EXPECT_EQ(document.Tally().transferred, 2);
}

TEST_F(TaskListTest, AttendedStaysOpenAndShowsNothingWhenIdle)
{
    CTaskListDlg dialog(&document, false);
    dialog.Tick();
    EXPECT_EQ(dialog.findChild<QProgressBar*>(QString::number(CTaskListDlg::Progress))->value(), 0);
    EXPECT_EQ(dialog.result(), 0);  // not closed
}

}  // namespace
