#include "app/kestrel_doc.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include "pipeline/transcode_task.h"
#include "res/string_table.h"
#include "sources/computer/computer_src_dev.h"
#include "targets/computer_tgt_dev.h"
#include "targets/netbook_tgt_dev.h"
#include "tests/app/recording_presenters.h"
#include "tests/app/scripted_devices.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;

using namespace program_testing;

struct PollResult {
    QString status;
    float progress = -1;
    bool idle = false;
};

class EventLog final : public CDocumentView {
public:
    void OnBroadcast(int code, void* param) override { events.push_back({code, param}); }
    std::vector<std::pair<int, void*>> events;
    int Count(int code) const
    {
        return int(std::count_if(events.begin(), events.end(), [code](auto& e) { return e.first == code; }));
    }
};

class DocumentTest : public testing::Test {
protected:
    DocumentTest() : source(&document), target(&document, QString::fromStdString(folder.Path().string()))
    {
        document.AddView(&log);
    }
    ~DocumentTest() override { document.RemoveView(&log); }

    PollResult Poll()
    {
        PollResult result;
        document.Poll(result.status, result.progress, result.idle);
        return result;
    }
    // Polls until the queue is idle; a hung task fails the test.
    void PollUntilIdle()
    {
        for (int i = 0; i < 500; ++i) {
            if (Poll().idle)
                return;
            QThread::msleep(10);
        }
        FAIL() << "the queue never became idle";
    }
    void Queue(const QStringList& names)
    {
        QStringList items;
        for (const QString& name : names)
            items << "/media/" + name + ".mp4";
        document.QueueTasks(&source, &items, &target);
    }

    RecordingPresenter presenter;
    RecordingPower power;
    TempFolder folder;
    CKestrelDoc document;
    ScriptedSource source;
    ScriptedTarget target;
    EventLog log;
};

TEST_F(DocumentTest, HoldsTheSevenDevicesInTheirOrder)
{
    QStringList names;
    QList<int> directions;
    for (CBaseDevice* device : document.Devices()) {
        names << device->GetName();
        directions << device->Direction();
    }
    EXPECT_EQ(names, QStringList({"My Computer", "Video DVD", "YouTube", "Slide Show", "Audio CD", "My Computer",
                                  "Netbook"}));
    EXPECT_EQ(directions, QList<int>({0, 0, 0, 0, 0, 1, 1}));
    EXPECT_EQ(document.FindDevice("My Computer", 1), document.FindDeviceByGuid(GUID_ComputerTgtDev));
    EXPECT_EQ(document.FindDevice("My Computer", 0), document.FindDeviceByGuid(GUID_ComputerSrcDev));
    EXPECT_EQ(document.FindDevice("netbook", 1), nullptr);  // names compare exactly
}

TEST_F(DocumentTest, AnIdleQueueReportsIdleAndStartsNothing)
{
    const PollResult result = Poll();
    EXPECT_TRUE(result.idle);
    EXPECT_TRUE(result.status.isEmpty());
    EXPECT_EQ(result.progress, 0);
    EXPECT_FALSE(power.awake);
}

TEST_F(DocumentTest, StatusCountsDownAsTasksEnd)
{
    Queue({"One", "Two", "Three"});
    ASSERT_EQ(document.Queue().size(), 3u);
    const PollResult first = Poll();
    EXPECT_FALSE(first.idle);
    EXPECT_EQ(first.status, "3 transfer(s) left\nTransferring One");
    EXPECT_TRUE(power.awake);
    QStringList statuses;
    for (int i = 0; i < 500 && (!document.Queue().empty() || document.CurrentTask()); ++i) {
        const PollResult result = Poll();
        if (!result.idle && !statuses.contains(result.status))
            statuses << result.status;
        QThread::msleep(5);
    }
    EXPECT_TRUE(statuses.contains("2 transfer(s) left\nTransferring Two"));
    EXPECT_TRUE(statuses.contains("1 transfer(s) left\nTransferring Three"));
    PollUntilIdle();
    EXPECT_EQ(log.Count(EVENT_TASK_FINISHED), 3);
    EXPECT_EQ(document.Tally().transferred, 3);
    EXPECT_FALSE(power.awake);
}

TEST_F(DocumentTest, AFailedStartFromIdleIsDroppedWithoutFinishedEvent)
{
    target.refused = {"Broken"};
    Queue({"Broken"});
    const PollResult result = Poll();
    EXPECT_EQ(result.progress, -1);  // outputs untouched
    EXPECT_EQ(document.CurrentTask(), nullptr);
    EXPECT_TRUE(document.Queue().empty());
    EXPECT_EQ(log.Count(EVENT_TASK_FINISHED), 0);
    EXPECT_EQ(presenter.errors, QStringList({LoadString(IDS_TRANSFER_ERROR)}));
    EXPECT_EQ(document.Tally().failed, 1);
}

TEST_F(DocumentTest, AFailedStartAfterAnotherTaskEndsAtTheNextPoll)
{
    target.refused = {"Broken"};
    Queue({"Good", "Broken"});
    Poll();
    while (document.CurrentTask() && document.CurrentTask()->GetName() == "Good")
        Poll(), QThread::msleep(5);
    ASSERT_NE(document.CurrentTask(), nullptr);  // the broken one stays current for a poll
    EXPECT_EQ(log.Count(EVENT_TASK_FINISHED), 1);
    PollUntilIdle();
    EXPECT_EQ(log.Count(EVENT_TASK_FINISHED), 2);
    EXPECT_EQ(document.Tally().transferred, 1);
    EXPECT_EQ(document.Tally().failed, 1);
}

TEST_F(DocumentTest, AbortStartsTheNextTaskAndDeletesThePartialFile)
{
    source.settings.count = -1;  // endless
    Queue({"A", "B", "C"});
    Poll();
    CTranscodeTask* running = document.CurrentTask();
    ASSERT_NE(running, nullptr);
    const QString partial = running->GetOutputPath();
    ASSERT_TRUE(QFile::exists(partial));
    document.AbortCurrentTask();
    EXPECT_FALSE(QFile::exists(partial));
    EXPECT_EQ(log.Count(EVENT_TASK_ABORTED), 1);
    ASSERT_NE(document.CurrentTask(), nullptr);
    EXPECT_EQ(document.CurrentTask()->GetName(), "B");
    EXPECT_EQ(document.Queue().size(), 1u);
}

TEST_F(DocumentTest, PowersOffOnlyWhenArmedAndTheLastTaskEnds)
{
    Queue({"Only"});
    document.runPowerOffWaitDialog = [this] {
        EXPECT_TRUE(document.PowerOffArmed());
        PollUntilIdle();
    };
    document.PowerOffWhenFinished();
    EXPECT_EQ(power.powerOffs, 1);
    EXPECT_FALSE(document.PowerOffArmed());

    Queue({"Again"});
    PollUntilIdle();
    EXPECT_EQ(power.powerOffs, 1);
}

TEST_F(DocumentTest, CloseCheckFollowsTheChoice)
{
    EXPECT_TRUE(document.SaveModified());  // nothing to ask about
    source.settings.count = -1;
    Queue({"Long"});
    Poll();
    int asked = 0;
    for (const auto& [choice, closes, waits] :
         {std::tuple{CLOSE_NO, false, false}, std::tuple{CLOSE_YES, true, false},
          std::tuple{CLOSE_POWER_OFF, false, true}}) {  // the wait returns at once: cancelled
        bool waited = false;
        document.runCloseDialog = [&, choice = choice] { ++asked; return int(choice); };
        document.runPowerOffWaitDialog = [&] { waited = document.PowerOffArmed(); };
        EXPECT_EQ(document.SaveModified(), closes) << choice;
        EXPECT_EQ(waited, waits) << choice;
    }
    EXPECT_EQ(asked, 3);
    EXPECT_NE(document.CurrentTask(), nullptr);  // "No" keeps the transfer running
}

TEST_F(DocumentTest, CancellingThePowerOffWaitKeepsTheTransfersAndTheWindow)
{
    Queue({"First", "Second"});
    Poll();
    const CTranscodeTask* running = document.CurrentTask();
    const size_t waiting = document.Queue().size();
    document.runCloseDialog = [] { return int(CLOSE_POWER_OFF); };
    document.runPowerOffWaitDialog = [] {};  // Cancel
    EXPECT_FALSE(document.SaveModified());
    EXPECT_FALSE(document.PowerOffArmed());
    EXPECT_EQ(document.CurrentTask(), running);
    EXPECT_EQ(document.Queue().size(), waiting);
    PollUntilIdle();
    EXPECT_EQ(document.Tally().transferred, 2);
    EXPECT_EQ(power.powerOffs, 0);
}

TEST_F(DocumentTest, EachRunReportsItsOwnTallyOnceWhenTheQueueFallsIdle)
{
    std::vector<std::pair<int, int>> ends;
    document.onQueueEnded = [&ends](const TransferTally& run) { ends.emplace_back(run.transferred, run.failed); };
    target.refused = {"Broken"};
    Queue({"Good", "Broken"});
    PollUntilIdle();
    Poll();
    EXPECT_EQ(ends, (std::vector<std::pair<int, int>>{{1, 1}}));

    source.settings.count = -1;  // endless, so only an abort ends it
    Queue({"Aborted"});
    Poll();
    document.AbortCurrentTask();
    PollUntilIdle();
    EXPECT_EQ(ends, (std::vector<std::pair<int, int>>{{1, 1}, {0, 1}}));

    // Stopping the program is no end to announce.
    Queue({"Stopped"});
    Poll();
    document.StopAll();
    PollUntilIdle();
    EXPECT_EQ(ends.size(), 2u);
}

TEST_F(DocumentTest, NoQueueEndIsAnnouncedWhenTheComputerGoesOff)
{
    int ends = 0;
    document.onQueueEnded = [&ends](const TransferTally&) { ++ends; };
    Queue({"Only"});
    document.runPowerOffWaitDialog = [this] { PollUntilIdle(); };
    document.PowerOffWhenFinished();
    ASSERT_EQ(power.powerOffs, 1);
    EXPECT_EQ(ends, 0);
}

struct PowerOffEnd {
    const char* name;
    bool refused;  // by the power control
    bool closes;
};

void PrintTo(const PowerOffEnd& c, std::ostream* os)
{
    *os << c.name;
}

class PowerOffWaitTest : public DocumentTest, public testing::WithParamInterface<PowerOffEnd> {};

TEST_P(PowerOffWaitTest, TheWindowClosesOnlyWhenTheComputerGoesOff)
{
    power.refuses = GetParam().refused;
    Queue({"Only"});
    document.runCloseDialog = [] { return int(CLOSE_POWER_OFF); };
    document.runPowerOffWaitDialog = [this] { PollUntilIdle(); };
    EXPECT_EQ(document.SaveModified(), GetParam().closes);
    EXPECT_EQ(power.powerOffs, 1);
    EXPECT_FALSE(document.PowerOffArmed());
    EXPECT_EQ(presenter.messages.size(), GetParam().refused ? 1 : 0) << presenter.messages.join('\n').toStdString();
}

TEST_F(DocumentTest, AWaitArmedAfterTheLastTaskEndedPowersOffAtOnce)
{
    Queue({"Only"});
    PollUntilIdle();
    document.runPowerOffWaitDialog = [this] {
        Poll();
        EXPECT_FALSE(document.PowerOffArmed());  // the dialog may close
    };
    EXPECT_TRUE(document.PowerOffWhenFinished());
    EXPECT_EQ(power.powerOffs, 1);
}

INSTANTIATE_TEST_SUITE_P(Ends, PowerOffWaitTest,
                         testing::Values(PowerOffEnd{"granted", false, true}, PowerOffEnd{"refused", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentTest, CommandLineTransferWithoutATargetQueuesNothing)
{
    EXPECT_FALSE(document.TransferFromCommandLine(nullptr, {"/media/a.mp4"}));
    EXPECT_TRUE(document.Queue().empty());
    auto* computer = static_cast<CTargetDevice*>(document.FindDevice("My Computer", DIRECTION_TARGET));
    EXPECT_TRUE(document.TransferFromCommandLine(computer, {"/media/a.mp4", "/media/b.mp3"}));
    EXPECT_EQ(document.CurrentTask(), nullptr);  // queued only: the caller runs the queue
    ASSERT_EQ(document.Queue().size(), 2u);
    EXPECT_FALSE(document.Queue()[0]->IsAudioOnly());
    EXPECT_TRUE(document.Queue()[1]->IsAudioOnly());
}

}  // namespace
