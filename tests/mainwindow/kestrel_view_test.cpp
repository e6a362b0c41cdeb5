#include "app/kestrel_view.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include "pipeline/device.h"
#include "pipeline/transcode_task.h"
#include "tests/mainwindow/view_fixture.h"
#include "ui/device_page.h"
#include "ui/flat_button.h"

namespace {

using namespace mainwindow_testing;

QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

QStringList TabNames(CDeviceTabHandler& tabs)
{
    QStringList names;
    for (int i = 0; i < tabs.TabCount(); ++i)
        names << tabs.Tab(i).m_strName;
    return names;
}

TEST_F(ViewTest, LaysOutAThousandBySevenHundredClientArea)
{
    MakeView();
    ASSERT_EQ(view->Panel().Height(), 60);
    const int panelTop = 8 + CDeviceTabHandler::kStripHeight;
    EXPECT_EQ(view->SourceTabs().PanelRect(), Edges(8, panelTop, 460, 632));
    EXPECT_EQ(view->TargetTabs().PanelRect(), Edges(540, panelTop, 992, 632));
    EXPECT_EQ(view->Transfer()->geometry(), QRect(460, 290, 80, 80));
    EXPECT_EQ(view->Panel().Rect(), Edges(0, 640, 1000, 700));
    // The selected pages lie 12 pixels inside their panels, the others are hidden.
    CDevicePage* sourcePage = view->GetCurrentSource()->Page();
    EXPECT_EQ(sourcePage->geometry(), Edges(20, panelTop + 12, 448, 620));
    EXPECT_TRUE(sourcePage->isVisible());
    EXPECT_TRUE(sourcePage->isEnabled());
    for (CBaseDevice* device : document.Devices()) {
        if (device != view->GetCurrentSource() && device != view->GetCurrentTarget()) {
            EXPECT_FALSE(device->Page()->isVisible()) << qPrintable(device->GetName());
        }
    }
}

// The view owns the page windows: they go with it, and no device keeps a
// pointer to a page that is gone.
TEST_F(ViewTest, PagesLiveAsLongAsTheViewThatMadeThem)
{
    for (CBaseDevice* device : document.Devices())
        EXPECT_EQ(device->Page(), nullptr) << qPrintable(device->GetName());
    MakeView();
    for (CBaseDevice* device : document.Devices()) {
        ASSERT_NE(device->Page(), nullptr) << qPrintable(device->GetName());
        EXPECT_EQ(device->Page()->parentWidget(), view.get());
        EXPECT_EQ(device->CreatePage(view.get()), device->Page());  // one page per device
    }
    view.reset();
    for (CBaseDevice* device : document.Devices())
        EXPECT_EQ(device->Page(), nullptr) << qPrintable(device->GetName());
    document.Broadcast(EVENT_TASK_FINISHED, nullptr);  // reaches no page that is gone
}

TEST_F(ViewTest, ClickingATabShowsThatDevicesPage)
{
    MakeView();
    view->grab();  // the tabs get their rectangles when drawn
    CDeviceTabHandler& tabs = view->SourceTabs();
    int other = tabs.Selection() == 0 ? 1 : 0;
    for (int i = 0; i < tabs.TabCount() && tabs.Tab(other).m_rect.isEmpty(); ++i)
        other = i;
    ASSERT_FALSE(tabs.Tab(other).m_rect.isEmpty());
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, tabs.Tab(other).m_rect.center());
    CBaseDevice* device = document.FindDeviceByGuid(tabs.Tab(other).m_id);
    EXPECT_EQ(view->GetCurrentSource(), device);
    EXPECT_TRUE(device->Page()->isVisible());
}

TEST_F(ViewTest, DevicesSettingsHideTabs)
{
    struct Case {
        QStringList hidden;
        QStringList sources, targets;
    };
    const QList<Case> cases = {
        {{}, {"My Computer", "Video DVD", "YouTube", "Slide Show", "Audio CD"}, {"My Computer", "Netbook"}},
        {{"Netbook"}, {"My Computer", "Video DVD", "YouTube", "Slide Show", "Audio CD"}, {"My Computer"}},
        {{"My Computer"}, {"Video DVD", "YouTube", "Slide Show", "Audio CD"}, {"Netbook"}},
        {{"My Computer", "Netbook"}, {"Video DVD", "YouTube", "Slide Show", "Audio CD"}, {}},
    };
    for (const Case& c : cases) {
        for (const QString& name : {QStringLiteral("My Computer"), QStringLiteral("Netbook")})
            WriteProfileInt(kDevicesSection, name, c.hidden.contains(name) ? 0 : 1);
        MakeView();
        EXPECT_EQ(TabNames(view->SourceTabs()), c.sources) << qPrintable(c.hidden.join(u','));
        EXPECT_EQ(TabNames(view->TargetTabs()), c.targets) << qPrintable(c.hidden.join(u','));
        view.reset();
    }
}

TEST_F(ViewTest, TransferNeedsAnAvailableSourceAndTarget)
{
    WriteProfileInt(kDevicesSection, QStringLiteral("Netbook"), 0);
    MakeView();
    ASSERT_EQ(view->GetCurrentTarget()->GetName(), QStringLiteral("My Computer"));
    EXPECT_EQ(view->Transfer()->isEnabled(), view->GetCurrentSource()->IsAvailable() &&
                                                 view->GetCurrentTarget()->IsAvailable());
    view.reset();
    WriteProfileInt(kDevicesSection, QStringLiteral("My Computer"), 0);
    MakeView();
    EXPECT_EQ(view->GetCurrentTarget(), nullptr);  // no target tab at all
    EXPECT_FALSE(view->Transfer()->isEnabled());
    document.Broadcast(EVENT_DEVICE_ARRIVED, nullptr);
    EXPECT_FALSE(view->Transfer()->isEnabled());
}

TEST_F(ViewTest, DeviceEventsReevaluateTheTransferButton)
{
    MakeView();
    const bool enabled = view->Transfer()->isEnabled();
    for (int event : {EVENT_DEVICE_ARRIVED, EVENT_DEVICE_REMOVED}) {
        view->Transfer()->setEnabled(!enabled);
        document.Broadcast(event, nullptr);
        EXPECT_EQ(view->Transfer()->isEnabled(), enabled) << event;
    }
    view->Transfer()->setEnabled(!enabled);
    document.Broadcast(EVENT_FILES_CHANGED, nullptr);
    EXPECT_EQ(view->Transfer()->isEnabled(), !enabled);  // not a device event
}

TEST_F(ViewTest, PanelShowsTheRunningTransferAndAbortsIt)
{
    source.settings.count = -1;  // runs until aborted
    const QStringList items = {"/v/First.mp4", "/v/Second.mp4"};
    document.QueueTasks(&source, &items, &target);
    MakeView();
    EXPECT_TRUE(view->Panel().IsIdle());
    view->PollQueue();
    ASSERT_FALSE(view->Panel().IsIdle());
    view->grab();  // places the abort button
    const QRect abort = view->Panel().AbortRect();
    ASSERT_FALSE(abort.isEmpty());
    EXPECT_GT(abort.top(), view->Panel().Rect().top());

    // From elsewhere first: a move to where the pointer already is sends nothing.
    QTest::mouseMove(view.get(), QPoint(1, 1));
    QTest::mouseMove(view.get(), abort.center());
    EXPECT_TRUE(view->Panel().IsHover());
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, abort.center());
    ASSERT_NE(document.CurrentTask(), nullptr);
    EXPECT_EQ(document.CurrentTask()->GetName(), QStringLiteral("Second"));
    EXPECT_TRUE(document.Queue().empty());
}

TEST_F(ViewTest, AStuckItemsElapsedTimeStillMovesOn)
{
    source.settings.count = -1;
    const QStringList items = {"/v/Stuck.mp4"};
    document.QueueTasks(&source, &items, &target);
    MakeView();
    double now = 100;
    view->Panel().SetClock([&now] { return now; });
    view->PollQueue();
    now = 230;
    view->PollQueue();  // the same status and progress as before
    EXPECT_TRUE(view->Panel().Text().endsWith(QStringLiteral("2:10 elapsed"))) << view->Panel().Text().toStdString();
}

TEST_F(ViewTest, AbortButtonIsDeadWhileIdle)
{
    source.settings.count = -1;
    const QStringList items = {"/v/First.mp4"};
    document.QueueTasks(&source, &items, &target);
    MakeView();
    view->PollQueue();
    view->grab();
    const QRect abort = view->Panel().AbortRect();
    document.AbortCurrentTask();
    view->PollQueue();  // the panel learns the queue is idle
    ASSERT_TRUE(view->Panel().IsIdle());
    document.QueueTasks(&source, &items, &target);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, abort.center());
    EXPECT_EQ(document.Queue().size(), 1u);  // the click aborted nothing
}

// A progress above 1 draws the same full bar as 1; half a bar differs.
TEST_F(ViewTest, ProgressBarIsClampedAtFull)
{
    MakeView();
    auto panelAt = [this](float progress) {
        view->ShowStatus(false, progress, QStringLiteral("1 transfer(s) left"));
        return view->grab(view->Panel().Rect()).toImage();
    };
    const QImage full = panelAt(1.0f);
    EXPECT_EQ(panelAt(3.5f), full);
    EXPECT_NE(panelAt(0.5f), full);
}

}  // namespace
