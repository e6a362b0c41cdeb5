#include "app/main_frame.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "app/device_notifier.h"
#include "app/kestrel_app.h"
#include "app/kestrel_view.h"
#include "app/power_off_wait_dlg.h"
#include "pipeline/transcode_task.h"
#include "res/menus.h"
#include "tests/mainwindow/view_fixture.h"
#include "ui/error_dialog.h"
#include "ui/messages.h"

namespace {

using namespace mainwindow_testing;

// Records the document's events as the view would see them.
class EventLog final : public CDocumentView {
public:
    void OnBroadcast(int code, void*) override { codes << code; }
    QList<int> codes;
};

class FrameTest : public ViewTest {
protected:
    FrameTest() : frame(&app, &document) { frame.show(); }

    QAction* Action(int command) { return frame.findChild<QAction*>(QString::number(command)); }
    void OpenMenuOf(QAction* action)
    {
        QMenu* menu = qobject_cast<QMenu*>(action->parent());
        ASSERT_NE(menu, nullptr);
        emit menu->aboutToShow();
    }

    CKestrelApp app;
    CMainFrame frame;
};

TEST_F(FrameTest, KeepsItsMinimumSize)
{
    frame.resize(300, 200);
    EXPECT_GE(frame.width(), 800);
    EXPECT_GE(frame.height(), 560);
}

TEST_F(FrameTest, DriveNoticesBecomeDocumentEvents)
{
    EventLog log;
    document.AddView(&log);
    emit TheDeviceNotifier().deviceChange(CDeviceNotifier::DeviceArrival);
    emit TheDeviceNotifier().deviceChange(0x0007);  // other notices are ignored
    emit TheDeviceNotifier().deviceChange(CDeviceNotifier::DeviceRemoveComplete);
    EXPECT_EQ(log.codes, QList<int>({EVENT_DEVICE_ARRIVED, EVENT_DEVICE_REMOVED}));
    document.RemoveView(&log);
}

TEST_F(FrameTest, ClosingWithTasksAsksAndNoKeepsTheWindowOpen)
{
    source.settings.count = -1;
    const QStringList items = {"/v/Long.mp4"};
    document.QueueTasks(&source, &items, &target);
    int asked = 0;
    int answer = CLOSE_NO;
    document.runCloseDialog = [&] {
        ++asked;
        return answer;
    };
    EXPECT_FALSE(frame.close());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(frame.isVisible());
    answer = CLOSE_YES;
    EXPECT_TRUE(frame.close());
}

TEST_F(FrameTest, CancellingThePowerOffWaitKeepsTheWindowAndTheTransfers)
{
    const QStringList items = {"/v/First.mp4", "/v/Second.mp4"};
    document.QueueTasks(&source, &items, &target);
    frame.View()->PollQueue();
    const CTranscodeTask* running = document.CurrentTask();
    const size_t waiting = document.Queue().size();
    document.runCloseDialog = [] { return int(CLOSE_POWER_OFF); };
    document.runPowerOffWaitDialog = [this] {
        CPowerOffWaitDlg wait(&frame);
        wait.show();
        wait.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        EXPECT_EQ(wait.result(), QDialog::Rejected);
    };
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_FALSE(document.PowerOffArmed());
    EXPECT_EQ(document.CurrentTask(), running);
    EXPECT_EQ(document.Queue().size(), waiting);
    for (int i = 0; i < 500 && (document.CurrentTask() || !document.Queue().empty()); ++i) {
        frame.View()->PollQueue();
        QThread::msleep(10);
    }
    EXPECT_EQ(document.Tally().transferred, 2);
    EXPECT_EQ(power.powerOffs, 0);
}

TEST_F(FrameTest, ThePowerOffWaitClosesByItselfOnceTheComputerWasAsked)
{
    source.settings.count = -1;  // ends when aborted, while the dialog is open
    const QStringList items = {"/v/Last.mp4"};
    document.QueueTasks(&source, &items, &target);
    frame.View()->PollQueue();
    document.runCloseDialog = [] { return int(CLOSE_POWER_OFF); };
    int result = -1;
    document.runPowerOffWaitDialog = [this, &result] {
        CPowerOffWaitDlg wait(&frame, [this] { return !document.PowerOffArmed(); });
        QTimer::singleShot(300, &wait, [this] { document.AbortCurrentTask(); });
        QTimer::singleShot(30000, &wait, &QDialog::reject);  // a dialog that never closes fails, not hangs
        result = wait.exec();
    };
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(power.powerOffs, 1);
}

// The window that is active when a transfer fails; it goes away before the
// error is dismissed.
struct ActiveWindowCase {
    const char* name;
    bool ownedByTheFrame;
    bool modal;
};

void PrintTo(const ActiveWindowCase& c, std::ostream* os)
{
    *os << c.name;
}

class ErrorDialogOwnerTest : public FrameTest, public testing::WithParamInterface<ActiveWindowCase> {};

TEST_P(ErrorDialogOwnerTest, TheErrorStaysWithTheMainWindow)
{
    ScopedMessagePresenter windows(WindowMessagePresenter());
    auto active = std::make_unique<QDialog>(GetParam().ownedByTheFrame ? &frame : nullptr);
    active->setModal(GetParam().modal);
    active->show();
    active->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), active.get());

    ShowError(QStringLiteral("The transfer failed."), false);
    const QList<CErrorDialog*> errors = frame.findChildren<CErrorDialog*>();
    ASSERT_EQ(errors.size(), 1);
    QPointer<CErrorDialog> error = errors.first();
    EXPECT_EQ(error->parentWidget(), &frame);
    active.reset();
    ASSERT_FALSE(error.isNull());
    EXPECT_TRUE(error->isVisible());
    delete error;
}

INSTANTIATE_TEST_SUITE_P(Windows, ErrorDialogOwnerTest,
                         testing::Values(ActiveWindowCase{"dialog_of_the_frame", true, false},
                                         ActiveWindowCase{"modal_dialog_of_the_frame", true, true},
                                         ActiveWindowCase{"window_of_its_own", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTest, ClosingIdleDoesNotAsk)
{
    document.runCloseDialog = [] {
        ADD_FAILURE() << "asked without tasks";
        return CLOSE_NO;
    };
    EXPECT_TRUE(frame.close());
}

TEST_F(FrameTest, TurnOffWhenFinishedOnlyWhileATaskRuns)
{
    QAction* powerOff = Action(ID_POWER_OFF_WHEN_FINISHED);
    ASSERT_NE(powerOff, nullptr);
    int waits = 0;
    document.runPowerOffWaitDialog = [&] {
        ++waits;
        EXPECT_TRUE(document.PowerOffArmed());
    };
    OpenMenuOf(powerOff);
    EXPECT_FALSE(powerOff->isEnabled());

    source.settings.count = -1;
    const QStringList items = {"/v/Long.mp4"};
    document.QueueTasks(&source, &items, &target);
    frame.View()->PollQueue();
    OpenMenuOf(powerOff);
    EXPECT_TRUE(powerOff->isEnabled());
    powerOff->trigger();
    EXPECT_EQ(waits, 1);
    EXPECT_FALSE(document.PowerOffArmed());
    EXPECT_EQ(power.powerOffs, 0);
}

TEST_F(FrameTest, MenusShowTheApplicationNameAndTheUpdateSwitch)
{
    QAction* about = Action(ID_APP_ABOUT);
    QAction* updates = Action(ID_CHECK_UPDATES_ON_START);
    ASSERT_NE(about, nullptr);
    ASSERT_NE(updates, nullptr);
    OpenMenuOf(about);
    EXPECT_EQ(about->text(), QStringLiteral("&About Orvex Tavimo..."));
    OpenMenuOf(updates);
    const bool on = updates->isChecked();
    updates->trigger();
    OpenMenuOf(updates);
    EXPECT_NE(updates->isChecked(), on);
    EXPECT_EQ(ReadUpdateCheckSetting(), on ? 0 : 1);
}

TEST(HelpFile, LooksForTheProgramsBaseNameWithoutDemo)
{
    mainwindow_testing::ConfigFolder folder;
    const QString dir = folder.Path();
    EXPECT_EQ(CKestrelApp::HelpFilePath(dir + "/XDemo.exe"), QString());
    QFile pdf(dir + "/X.pdf");
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    EXPECT_EQ(CKestrelApp::HelpFilePath(dir + "/XDemo.exe"), dir + "/X.pdf");
    QFile chm(dir + "/X.chm");
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    EXPECT_EQ(CKestrelApp::HelpFilePath(dir + "/XDemo.exe"), dir + "/X.chm");
}

}  // namespace
