// Surround sound: the netbook MP4 mixes it down to stereo (the netbook's
// player and speakers are stereo), a format whose profile names no channel
// count keeps the source's channels.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;
using testing_media::Probe;

const Clip kSurroundFilm{"film.mp4", "-c:v libx264 -c:a aac -f mp4", 320, 180, 25, 48000, 6};

struct SurroundCase {
    const char* name;
    std::vector<std::string> format;  // switches after -sendto
    const char* extension;
    const char* codec;
    int channels;
};

const SurroundCase kCases[] = {
    {"NetbookMp4", {}, "mp4", "aac", 2},
    {"M4a", {"-format=m4a"}, "m4a", "aac", 6},
};

void PrintTo(const SurroundCase& row, std::ostream* out) { *out << row.name; }

class SurroundAudioTest : public ::testing::TestWithParam<SurroundCase> {};

TEST_P(SurroundAudioTest, ChannelsFollowTheProfile)
{
    const SurroundCase& row = GetParam();
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    ASSERT_TRUE(MakeClip(temp.Path(), kSurroundFilm));
    std::vector<std::string> arguments{"-sendto=My Computer", "-outdir=" + outputs.string()};
    arguments.insert(arguments.end(), row.format.begin(), row.format.end());
    arguments.push_back((temp.Path() / kSurroundFilm.fileName).string());

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home").Run(arguments);

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    const Probe probe(OutputFor(outputs, kSurroundFilm.fileName, row.extension).string());
    EXPECT_TRUE(HasAudio(probe, row.codec, kSurroundFilm.sampleRate, row.channels));
    EXPECT_TRUE(LastsLikeTheClips(probe));
}

INSTANTIATE_TEST_SUITE_P(Profiles, SurroundAudioTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SurroundCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace testing_e2e
