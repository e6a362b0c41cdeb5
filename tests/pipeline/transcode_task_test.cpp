#include "pipeline/transcode_task.h"

#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include "app/kestrel_doc.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/media_guids.h"
#include "res/string_table.h"
#include "tests/app/recording_presenters.h"
#include "tests/app/scripted_devices.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;

using namespace program_testing;

class TranscodeTaskTest : public testing::Test {
protected:
    TranscodeTaskTest() : source(&document), target(&document, QString::fromStdString(folder.Path().string())) {}

    // Polls until the task ends; a task that never ends fails the test.
    void PollUntilEnded(CTranscodeTask& task)
    {
        for (int i = 0; i < 500 && task.Poll(); ++i)
            QThread::msleep(10);
        EXPECT_FALSE(task.Poll());
    }

    RecordingPresenter presenter;
    TempFolder folder;
    CKestrelDoc document;
    ScriptedSource source;
    ScriptedTarget target;
};

TEST_F(TranscodeTaskTest, DescribesItselfByName)
{
    CTranscodeTask task(&source, &target, "Holiday", "/v/Holiday.mp4", false);
    EXPECT_EQ(task.GetDescription(), "Transferring Holiday");
}

TEST_F(TranscodeTaskTest, WithoutAGraphTheStartFailsWithTheTransferError)
{
    ScopedClassOverride noGraphs(CLSID_FilterGraph, {});
    CTranscodeTask task(&source, &target, "Clip", "/v/Clip.mp4", false);
    EXPECT_FALSE(task.Start());
    EXPECT_EQ(presenter.errors, QStringList({LoadString(IDS_TRANSFER_ERROR)}));
    EXPECT_FALSE(task.Poll());
    EXPECT_EQ(task.GetProgress(), 0);
}

TEST_F(TranscodeTaskTest, ACompletedGraphEndsTheTaskAndKeepsItsOutput)
{
    CTranscodeTask task(&source, &target, "Clip", "/v/Clip.mp4", false);
    ASSERT_TRUE(task.Start());
    PollUntilEnded(task);
    EXPECT_TRUE(task.Succeeded());
    EXPECT_TRUE(QFile::exists(task.GetOutputPath()));
    EXPECT_TRUE(presenter.errors.isEmpty());
}

TEST_F(TranscodeTaskTest, AStreamingErrorEndsTheTaskAndDeletesItsOutput)
{
    source.settings.failAt = 3;
    CTranscodeTask task(&source, &target, "Clip", "/v/Clip.mp4", false);
    ASSERT_TRUE(task.Start());
    const QString output = task.GetOutputPath();
    PollUntilEnded(task);
    EXPECT_FALSE(task.Succeeded());
    EXPECT_EQ(task.Failure(), testing_filters::kSourceFailure) << "the task keeps the code the graph reported";
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_EQ(presenter.errors, QStringList({LoadString(IDS_TRANSFER_ERROR)}));
}

// Only a graph that completed and closed its writers gives a result; any
// other end is a failure that keeps no file.
TEST_F(TranscodeTaskTest, AGraphThatEndsWithoutCompletingAndClosingFailsTheTask)
{
    const HRESULT writeFault = HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
    struct Row {
        const char* what;
        int samples;         // -1: endless
        HRESULT closeFailure;
        bool stopFromOutside;
        HRESULT expected;
        const char* sentence;
    };
    const Row rows[] = {
        {"the writer fails to close", 5, writeFault, false, writeFault, "The target drive could not be written to."},
        {"the graph is stopped from outside", -1, S_OK, true, E_ABORT, "The conversion was stopped before its end."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        presenter.errors.clear();
        source.settings.count = row.samples;
        target.closeFailure = row.closeFailure;
        CTranscodeTask task(&source, &target, "Clip", "/v/Clip.mp4", false);
        ASSERT_TRUE(task.Start());
        const QString output = task.GetOutputPath();
        if (row.stopFromOutside) {
            ASSERT_TRUE(target.Sink()->WaitForSamples(3));
            ComPtr<IMediaControl> control;
            ASSERT_EQ(target.Sink()->Graph()->QueryInterface(IID_PPV_ARGS(control.ReleaseAndGetAddressOf())), S_OK);
            control->Stop();
        }
        PollUntilEnded(task);
        EXPECT_FALSE(task.Succeeded());
        EXPECT_EQ(task.Failure(), row.expected);
        EXPECT_FALSE(QFile::exists(output));
        EXPECT_EQ(presenter.errors, QStringList({LoadString(IDS_TRANSFER_ERROR) + u' ' + row.sentence}));
    }
}

// Halfway through the clip the task reports half done. The sink holds the
// middle sample, so the position is known exactly while the task is asked.
TEST_F(TranscodeTaskTest, ProgressIsTheFractionOfTheDurationReached)
{
    struct Row {
        const char* from;
        bool timeGrabber;    // the target puts the Time Grabber in front of its input
        bool sourceSeeking;  // the source names the pin its duration is read from
        float expected;
    };
    const Row rows[] = {
        // The grabber has passed sample 25 of 50 on to the sink.
        {"the time grabber", true, true, 0.5f},
        // The sink's latest finished sample is 24 while it holds 25.
        {"the graph's position", false, false, 0.48f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.from);
        source.settings.count = 50;
        source.offersSeeking = row.sourceSeeking;
        target.timeGrabber = row.timeGrabber;
        testing_filters::Gate gate;
        target.holdSample = 25;
        target.holdGate = &gate;
        CTranscodeTask task(&source, &target, "Clip", "/v/Clip.mp4", false);
        ASSERT_TRUE(task.Start());
        target.Sink()->WaitUntilHolding();
        EXPECT_NEAR(task.GetProgress(), row.expected, 0.01);
        gate.Open();
        PollUntilEnded(task);
        EXPECT_TRUE(task.Succeeded());
        target.holdGate = nullptr;
    }
}

// Restores the stall limit a test shortens.
class ScopedStallLimit {
public:
    explicit ScopedStallLimit(std::chrono::milliseconds limit) : m_previous(TaskStallLimit()) { SetTaskStallLimit(limit); }
    ~ScopedStallLimit() { SetTaskStallLimit(m_previous); }

private:
    std::chrono::milliseconds m_previous;
};

// Samples flow, but nothing tells how far they got: as stuck as a graph can be.
TEST_F(TranscodeTaskTest, ATaskWithoutProgressOrEventsFailsAfterTheStallLimit)
{
    const ScopedStallLimit shortLimit(std::chrono::milliseconds(300));
    source.settings.count = -1;
    CTranscodeTask task(&source, &target, "Clip", "/v/Clip.mp4", false);
    ASSERT_TRUE(task.Start());
    const QString output = task.GetOutputPath();
    bool running = true;
    for (int i = 0; i < 500 && running; ++i) {
        task.GetProgress();
        running = task.Poll();
        QThread::msleep(10);
    }
    ASSERT_FALSE(running) << "the task ends by itself";
    EXPECT_EQ(task.Failure(), VFW_E_TIMEOUT);
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_EQ(presenter.errors,
              QStringList({LoadString(IDS_TRANSFER_ERROR) + " The conversion stopped making progress."}));
}

TEST_F(TranscodeTaskTest, ARunningTaskPollsTrueUntilAborted)
{
    source.settings.count = -1;  // endless
    CTranscodeTask task(&source, &target, "Clip", "/v/Clip.mp4", false);
    ASSERT_TRUE(task.Start());
    EXPECT_TRUE(task.Poll());
    EXPECT_TRUE(task.Poll());
    const float progress = task.GetProgress();  // the duration is there; no sample has passed
    EXPECT_GE(progress, 0);
    EXPECT_LT(progress, 1);
    const QString output = task.GetOutputPath();
    ASSERT_TRUE(QFile::exists(output));
    task.Abort();
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_FALSE(task.Poll());
    EXPECT_EQ(task.GetProgress(), 0);
    EXPECT_FALSE(task.Succeeded());
}

}  // namespace
