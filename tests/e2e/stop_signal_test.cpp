// Ctrl+C, a closed terminal or a shutdown during a terminal transfer: the
// running item is aborted and its partial file removed, nothing more
// starts, and the exit status names the signal.
#include <gtest/gtest.h>

#include <csignal>
#include <system_error>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;

// Long enough that the signal always comes while it converts.
const char kLongClipArguments[] = "-f lavfi -i testsrc=size=640x360:rate=25 -f lavfi -i sine -t 60 "
                                  "-c:v libx264 -preset ultrafast -c:a aac";

struct StopCase {
    const char* name;
    std::vector<int> signals;
    int exitStatus;
};

// The two clips are made once for all cases.
class StopSignalTest : public testing::TestWithParam<StopCase> {
protected:
    static void SetUpTestSuite()
    {
        s_clips = new testing_files::TempFolder;
        for (const char* name : {"first.mp4", "second.mp4"})
            ASSERT_TRUE(testing_media::MakeMedia(s_clips->File(name), kLongClipArguments));
    }
    static void TearDownTestSuite()
    {
        delete s_clips;
        s_clips = nullptr;
    }

    static testing_files::TempFolder* s_clips;
};

testing_files::TempFolder* StopSignalTest::s_clips = nullptr;

TEST_P(StopSignalTest, TheRunningItemIsAbortedWithoutALeftoverAndNothingMoreStarts)
{
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    const fs::path partial = OutputFor(outputs, "first.mp4", "mp4");
    // Once the output has some size the task is well under way.
    ChildInterrupt interrupt{[&partial] {
                                 std::error_code missing;
                                 const auto size = fs::file_size(partial, missing);
                                 return !missing && size > 64 * 1024;
                             },
                             GetParam().signals};

    const ChildOutcome outcome =
        TavimoCommand(temp.Path() / "home")
            .Run({"-sendto=My Computer", "-outdir=" + outputs.string(), s_clips->File("first.mp4"),
                  s_clips->File("second.mp4")},
                 {}, interrupt);

    EXPECT_EQ(outcome.exitCode, GetParam().exitStatus) << Describe(outcome);
    EXPECT_FALSE(fs::exists(partial)) << "the partial file is removed";
    EXPECT_FALSE(fs::exists(OutputFor(outputs, "second.mp4", "mp4"))) << "nothing more starts";
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest,
                         testing::Values(StopCase{"Interrupt", {SIGINT}, 130}, StopCase{"Terminate", {SIGTERM}, 143},
                                         StopCase{"HangUp", {SIGHUP}, 129},
                                         StopCase{"InterruptTwice", {SIGINT, SIGINT}, 130}),
                         [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace testing_e2e
