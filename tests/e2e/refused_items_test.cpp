// Items the program cannot take are reported one by one on standard error
// and leave nothing behind, while the other items of the run still convert
// and the exit status says that not everything was transferred.
#include <gtest/gtest.h>

#include <vector>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;
using testing_media::Probe;

const char kTransferError[] =
    "An error occured during the transfer. The source item was not transferred to the target.";

const Clip kGood{"good.mp4", "-c:v libx264 -c:a aac -f mp4", 320, 180, 10, 44100, 2};
const Clip kTone{"tone.mp3", "-c:a libmp3lame -f mp3", 0, 0, 0, 44100, 1};

std::string NotSupported(const fs::path& path) { return "The format of " + path.string() + " is not supported."; }

void ExpectConverted(const fs::path& outputs, const Clip& clip)
{
    SCOPED_TRACE(clip.fileName);
    const Probe probe(OutputFor(outputs, clip.fileName, "mp4").string());
    EXPECT_TRUE(HasStreams(probe, clip.HasVideo(), clip.HasAudio()));
    EXPECT_TRUE(LastsLikeTheClips(probe));
}

TEST(RefusedItemsTest, UnknownExtensionsAreReportedWithTheFullPathAndSkipped)
{
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    ASSERT_TRUE(MakeClip(temp.Path(), kTone));
    testing_files::WriteFileBytes(temp.File("notes.txt"), "just text\n");
    testing_files::WriteFileBytes(temp.File("README"), "no extension at all\n");

    // notes.txt is given relative to the working folder; the message names it in full.
    const ChildOutcome outcome =
        TavimoCommand(temp.Path() / "home")
            .Run({"-sendto=My Computer", "-outdir=" + outputs.string(), "notes.txt", temp.File(kTone.fileName),
                  temp.File("README")},
                 temp.Path());

    EXPECT_EQ(outcome.exitCode, 1) << Describe(outcome);
    EXPECT_EQ(Occurrences(outcome.err, NotSupported(temp.Path() / "notes.txt")), 1) << outcome.err;
    EXPECT_EQ(Occurrences(outcome.err, NotSupported(temp.Path() / "README")), 1) << outcome.err;
    ExpectConverted(outputs, kTone);
    EXPECT_FALSE(fs::exists(outputs / "notes.mp4"));
    EXPECT_FALSE(fs::exists(outputs / "README.mp4"));
}

TEST(RefusedItemsTest, CorruptItemsFailAloneAndLeaveNoOutput)
{
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    ASSERT_TRUE(MakeClip(temp.Path(), kGood));
    ASSERT_TRUE(MakeClip(temp.Path(), kTone));
    testing_files::WriteFileBytes(temp.File("bad.mp4"), testing_files::PatternBytes(64 * 1024));
    // ffmpeg writes the index last, so the first half of a file has none.
    const std::string whole = testing_files::ReadFileBytes(temp.File(kGood.fileName));
    testing_files::WriteFileBytes(temp.File("truncated.mp4"), whole.substr(0, whole.size() / 2));
    testing_files::WriteFileBytes(temp.File("empty.wav"), "");
    const std::vector<std::string> corrupt{"bad.mp4", "truncated.mp4", "empty.wav"};

    // A corrupt item first, which fails as it starts, and the others between good ones.
    std::vector<std::string> arguments{"-sendto=My Computer", "-outdir=" + outputs.string(), temp.File(corrupt[0]),
                                       temp.File(kGood.fileName)};
    for (size_t i = 1; i < corrupt.size(); ++i) arguments.push_back(temp.File(corrupt[i]));
    arguments.push_back(temp.File(kTone.fileName));
    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home").Run(arguments);

    EXPECT_EQ(outcome.exitCode, 1) << Describe(outcome);
    EXPECT_EQ(Occurrences(outcome.err, kTransferError), static_cast<int>(corrupt.size())) << outcome.err;
    for (const auto& name : corrupt) {
        EXPECT_FALSE(fs::exists(OutputFor(outputs, name, "mp4"))) << name;
        const std::string line = "Transferring " + fs::path(name).stem().string() + ": failed";
        EXPECT_EQ(Occurrences(outcome.out, line), 1) << "every item has its line: " << outcome.out;
    }
    ExpectConverted(outputs, kGood);
    ExpectConverted(outputs, kTone);
}

}  // namespace
}  // namespace testing_e2e
