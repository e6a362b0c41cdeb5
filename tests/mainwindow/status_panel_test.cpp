// The status panel's time line: elapsed while the pace is unknown, then the
// time left for the running item and for the queue, on a clock the test
// moves.
#include "app/status_panel.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/app/qstring_printer.h"
#include "tests/mainwindow/view_fixture.h"

namespace mainwindow_testing {
namespace {

struct Sample {
    double now;
    float progress;
};

struct TimeLineCase {
    const char* name;
    int items;
    std::vector<Sample> samples;
    const char* timeLine;
};

class StatusPanelTest : public ViewTest, public testing::WithParamInterface<TimeLineCase> {
protected:
    StatusPanelTest()
    {
        source.settings.count = -1;  // runs until aborted
        panel.SetDocument(&document);
        panel.SetClock([this] { return now; });
    }

    void Queue(int items)
    {
        QStringList files;
        for (int i = 0; i < items; ++i)
            files << QStringLiteral("/v/Clip%1.mp4").arg(i);
        document.QueueTasks(&source, &files, &target);
    }

    // What the main view does at each poll.
    void PollAt(double time, float progress)
    {
        now = time;
        QString status;
        float documentProgress = 0;
        bool idle = false;
        document.Poll(status, documentProgress, idle);
        panel.SetState(idle, progress, status);
    }

    QString TimeLine() const { return panel.Text().section(u'\n', 2); }

    CStatusPanel panel;
    double now = 0;
};

TEST_P(StatusPanelTest, ShowsTheTimesOfTheRunningItem)
{
    Queue(GetParam().items);
    for (const Sample& sample : GetParam().samples)
        PollAt(sample.now, sample.progress);
    EXPECT_EQ(TimeLine(), QString::fromLatin1(GetParam().timeLine)) << panel.Text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusPanelTest,
    testing::Values(TimeLineCase{"PaceUnknownShowsElapsed", 2, {{100, 0}, {100.4f, 0.3f}}, "0:00 elapsed"},
                    TimeLineCase{"StuckItemShowsTimePassing", 2, {{100, 0}, {230, 0}}, "2:10 elapsed"},
                    TimeLineCase{"WaitingItemsTakeAsLong", 2, {{100, 0}, {110, 0.5f}},
                                 "0:10 left, queue 0:30"},
                    TimeLineCase{"LastItemIsTheQueue", 1, {{100, 0}, {110, 0.25f}},
                                 "0:30 left, queue 0:30"}),
    [](const testing::TestParamInfo<TimeLineCase>& info) { return std::string(info.param.name); });

TEST_F(ViewTest, StatusPanelTimesTheNextItemFromItsStart)
{
    source.settings.count = -1;
    CStatusPanel panel;
    double now = 0;
    panel.SetDocument(&document);
    panel.SetClock([&now] { return now; });
    const QStringList files = {"/v/A.mp4", "/v/B.mp4", "/v/C.mp4"};
    document.QueueTasks(&source, &files, &target);
    QString status;
    float progress = 0;
    bool idle = false;
    document.Poll(status, progress, idle);
    panel.SetState(idle, 0, status);
    now = 40;
    document.AbortCurrentTask();  // A took 40 s; B starts
    document.Poll(status, progress, idle);
    panel.SetState(idle, 0.9f, status);  // what A had done
    now = 50;
    panel.SetState(idle, 0.5f, status);
    EXPECT_EQ(panel.Text().section(u'\n', 2), "0:10 left, queue 0:50") << panel.Text().toStdString();
}

TEST_F(ViewTest, IdleStatusPanelShowsNoTimes)
{
    CStatusPanel panel;
    panel.SetDocument(&document);
    panel.SetState(true, 0, QString());
    EXPECT_EQ(panel.Text(), QString());
    panel.SetState(false, 0.5f, QStringLiteral("1 transfer(s) left\nTransferring A"));  // no task runs
    EXPECT_EQ(panel.Text(), QStringLiteral("1 transfer(s) left\nTransferring A"));
}

}  // namespace
}  // namespace mainwindow_testing
