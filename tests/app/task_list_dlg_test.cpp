#include "app/task_list_dlg.h"

#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
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

// What happens between drawing the list and pressing "Abort task(s)".
enum class Meanwhile { Nothing, RunningTaskEnds, RunningTaskEndsAndListRedrawn, TaskQueued };

struct AbortCase {
    const char* name;
    QStringList selected;  // of the rows as drawn: Run (starting as drawn), A, B, C, D
    Meanwhile meanwhile;
    QString running;       // afterwards
    QStringList waiting;   // afterwards
    int failed;            // tasks aborted while running
};

void PrintTo(const AbortCase& c, std::ostream* os)
{
    *os << c.name;
}

class TaskListAbortTest : public TaskListTest, public testing::WithParamInterface<AbortCase> {
protected:
    void Select(CTaskListDlg& dialog, const QStringList& names)
    {
        for (const QString& name : names) {
            const QList<QListWidgetItem*> rows = Pending(dialog)->findItems("Transferring " + name, Qt::MatchExactly);
            ASSERT_EQ(rows.size(), 1) << qPrintable(name);
            rows.first()->setSelected(true);
        }
    }
    void LetTheQueueMoveOn(CTaskListDlg& dialog, Meanwhile meanwhile)
    {
        const QStringList late = {"/v/E.mp4"};
        switch (meanwhile) {
        case Meanwhile::Nothing:
            break;
        case Meanwhile::RunningTaskEnds:
            document.AbortCurrentTask();
            break;
        case Meanwhile::RunningTaskEndsAndListRedrawn:
            document.AbortCurrentTask();
            dialog.Tick();
            break;
        case Meanwhile::TaskQueued:
            document.QueueTasks(&source, &late, &target);
            break;
        }
    }
    QStringList Waiting() const
    {
        QStringList names;
        for (const std::unique_ptr<CTranscodeTask>& task : document.Queue())
            names << task->GetName();
        return names;
    }
};

TEST_P(TaskListAbortTest, AbortsExactlyTheSelectedTasks)
{
    const AbortCase& c = GetParam();
    const QStringList items = {"/v/Run.mp4", "/v/A.mp4", "/v/B.mp4", "/v/C.mp4", "/v/D.mp4"};
    document.QueueTasks(&source, &items, &target);
    CTaskListDlg dialog(&document, false);
    dialog.Tick();  // draws all five, then starts Run
    Select(dialog, c.selected);
    LetTheQueueMoveOn(dialog, c.meanwhile);
    dialog.findChild<QPushButton*>(QString::number(CTaskListDlg::AbortTasks))->click();
    ASSERT_NE(document.CurrentTask(), nullptr);
    EXPECT_EQ(document.CurrentTask()->GetName(), c.running);
    EXPECT_EQ(Waiting(), c.waiting);
    EXPECT_EQ(document.Tally().failed, c.failed);
    QStringList rows;
    for (const QString& name : c.waiting)
        rows << "Transferring " + name;
    EXPECT_EQ(Entries(dialog), rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TaskListAbortTest,
    testing::Values(AbortCase{"queue_unmoved", {"A", "C"}, Meanwhile::Nothing, "Run", {"B", "D"}, 0},
                    AbortCase{"queue_moved_on", {"B", "D"}, Meanwhile::RunningTaskEnds, "A", {"C"}, 1},
                    AbortCase{"selection_kept_when_redrawn", {"C"}, Meanwhile::RunningTaskEndsAndListRedrawn, "A",
                              {"B", "D"}, 1},
                    AbortCase{"selected_task_ended", {"Run", "C"}, Meanwhile::RunningTaskEnds, "A", {"B", "D"}, 1},
                    AbortCase{"selected_task_started", {"A", "B"}, Meanwhile::RunningTaskEnds, "C", {"D"}, 2},
                    AbortCase{"task_queued", {"B"}, Meanwhile::TaskQueued, "Run", {"A", "C", "D", "E"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

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
