#include "app/main_frame.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <gtest/gtest.h>

#include "app/device_notifier.h"
#include "app/kestrel_app.h"
#include "app/kestrel_view.h"
#include "pipeline/transcode_task.h"
#include "res/menus.h"
#include "tests/mainwindow/view_fixture.h"

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
