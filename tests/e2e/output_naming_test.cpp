// Where the outputs go and what they are called: the file name without its
// last extension, numbered from " (2)" when the name is taken, unusual
// letters kept, and the XDG videos folder when no -outdir is given.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;
using testing_media::Probe;

const Clip kWide{"Name.mp4", "-c:v libx264 -c:a aac -f mp4", 320, 180, 10, 44100, 2};
const Clip kNarrow{"Name.avi", "-c:v mpeg4 -c:a libmp3lame -f avi", 480, 200, 10, 48000, 1};
const Clip kTone{"Name.wav", "-c:a pcm_s16le -f wav", 0, 0, 0, 44100, 1};

// The clip's own frame size tells which input an output came from.
void ExpectVideoFrom(const fs::path& output, const Clip& source)
{
    SCOPED_TRACE(output.string());
    EXPECT_TRUE(HasVideo(Probe(output.string()), "h264", source.width, source.height));
}

TEST(OutputNamingTest, SameNameFromTwoFoldersIsNumberedInCommandLineOrder)
{
    testing_files::TempFolder temp;
    const fs::path first = temp.Path() / "dir1", second = temp.Path() / "dir2", outputs = temp.Path() / "out";
    fs::create_directories(first);
    fs::create_directories(second);
    ASSERT_TRUE(MakeClip(first, kWide));
    ASSERT_TRUE(MakeClip(second, kNarrow));

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home")
                                     .Run({"-sendto=My Computer", "-outdir=" + outputs.string(),
                                           (first / kWide.fileName).string(), (second / kNarrow.fileName).string()});

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    ExpectVideoFrom(outputs / "Name.mp4", kWide);
    ExpectVideoFrom(outputs / "Name (2).mp4", kNarrow);
}

TEST(OutputNamingTest, TakenFileAndFolderNamesAreSkippedAndKept)
{
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    fs::create_directories(outputs / "Name.mp4");
    testing_files::WriteFileBytes((outputs / "Name (2).mp4").string(), "not touched");
    ASSERT_TRUE(MakeClip(temp.Path(), kTone));

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home")
                                     .Run({"-sendto=My Computer", "-outdir=" + outputs.string(),
                                           temp.File(kTone.fileName)});

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    const Probe written((outputs / "Name (3).mp4").string());
    EXPECT_TRUE(HasAudio(written, "aac", kTone.sampleRate, kTone.channels));
    EXPECT_TRUE(fs::is_directory(outputs / "Name.mp4"));
    EXPECT_EQ(testing_files::ReadFileBytes((outputs / "Name (2).mp4").string()), "not touched");
}

TEST(OutputNamingTest, SpacesAndLettersBeyondAsciiSurvive)
{
    testing_files::TempFolder temp;
    const fs::path inputs = temp.Path() / "Fotos & Clips", outputs = temp.Path() / "Ausgabe für Ärzte";
    fs::create_directories(inputs);
    Clip clip = kWide;
    clip.fileName = "Über Straße – 1.mp4";
    ASSERT_TRUE(MakeClip(inputs, clip));

    const ChildOutcome outcome =
        TavimoCommand(temp.Path() / "home")
            .Run({"-sendto=My Computer", "-outdir=" + outputs.string(), (inputs / clip.fileName).string()});

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    const fs::path output = outputs / "Über Straße – 1.mp4";
    ExpectVideoFrom(output, clip);
    EXPECT_TRUE(LastsLikeTheClips(Probe(output.string())));
}

TEST(OutputNamingTest, WithoutOutdirTheVideosFolderIsUsed)
{
    testing_files::TempFolder temp;
    ASSERT_TRUE(MakeClip(temp.Path(), kTone));
    const TavimoCommand tavimo(temp.Path() / "home");

    const ChildOutcome outcome = tavimo.Run({"-sendto=My Computer", "-format=wav", temp.File(kTone.fileName)});

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    EXPECT_TRUE(HasAudio(Probe((tavimo.VideosFolder() / "Name.wav").string()), "pcm_", kTone.sampleRate,
                         kTone.channels));
}

}  // namespace
}  // namespace testing_e2e
