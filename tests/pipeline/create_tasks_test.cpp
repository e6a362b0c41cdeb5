#include <gtest/gtest.h>

#include "app/kestrel_doc.h"
#include "pipeline/device.h"
#include "pipeline/transcode_task.h"
#include "tests/app/recording_presenters.h"
#include "ui/device_page.h"

namespace {

using namespace program_testing;

class MarkingPage final : public CDevicePage {
public:
    using CDevicePage::CDevicePage;
    void GetMarkedItems(QStringList& paths) override
    {
        ++reads;
        paths << marked;
    }
    void ClearMarks() override { ++clears; }
    QStringList marked;
    int reads = 0, clears = 0;
};

class MarkingSource final : public CSourceDevice {
public:
    using CSourceDevice::CSourceDevice;
    MarkingPage* page = nullptr;

protected:
    std::unique_ptr<CDevicePage> MakePage() override
    {
        auto made = std::make_unique<MarkingPage>(this, Document());
        page = made.get();
        return made;
    }
};

class PickyTarget final : public CTargetDevice {
public:
    using CTargetDevice::CTargetDevice;
    bool AcceptsSource(CSourceDevice*) override { return accepts; }
    HRESULT PrepareGraph(CSourceDevice*, CGraphContext*) override { return E_NOTIMPL; }
    bool accepts = true;
};

class CreateTasksTest : public testing::Test {
protected:
    CreateTasksTest() : source(&document), target(&document) { source.CreatePage(&window); }

    QStringList Names() const
    {
        QStringList names;
        for (const std::unique_ptr<CTranscodeTask>& task : tasks)
            names << task->GetName() + (task->IsAudioOnly() ? "/audio" : "/video");
        return names;
    }

    RecordingPresenter presenter;
    CKestrelDoc document;
    QWidget window;  // owns the source's page
    MarkingSource source;
    PickyTarget target;
    TaskList tasks;
};

TEST_F(CreateTasksTest, SkipsUnsupportedItemsWithOneMessageEach)
{
    const QStringList items = {"/v/Holiday.2019.MP4", "/v/notes.txt", "/v/Song.mp3", "/v/noextension"};
    EXPECT_TRUE(source.CreateTasks(tasks, &target, &items));
    EXPECT_EQ(Names(), QStringList({"Holiday.2019/video", "Song/audio"}));
    EXPECT_EQ(presenter.messages, QStringList({"The format of /v/notes.txt is not supported.",
                                              "The format of /v/noextension is not supported."}));
    EXPECT_EQ(tasks[0]->GetSourcePath(), "/v/Holiday.2019.MP4");
    EXPECT_EQ(source.page->reads, 0);  // given items: the page's marks stay
    EXPECT_EQ(source.page->clears, 0);
}

TEST_F(CreateTasksTest, TakesThePagesMarksAndClearsThem)
{
    source.page->marked = {"/v/a.avi", "/v/b.wav"};
    EXPECT_TRUE(source.CreateTasks(tasks, &target, nullptr));
    EXPECT_EQ(Names(), QStringList({"a/video", "b/audio"}));
    EXPECT_EQ(source.page->clears, 1);
}

TEST_F(CreateTasksTest, ATargetThatRefusesTheSourceGetsNothing)
{
    target.accepts = false;
    const QStringList items = {"/v/a.avi", "/v/notes.txt"};
    EXPECT_FALSE(source.CreateTasks(tasks, &target, &items));
    EXPECT_TRUE(tasks.empty());
    EXPECT_TRUE(presenter.messages.isEmpty());
}

}  // namespace
