// -format and -profile choose "My Computer"'s handler and profile: each row
// is one run over a video with sound and two audio files whose rates differ
// from 44.1 kHz, so a kept rate and a converted one tell themselves apart.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;
using testing_media::Probe;

const Clip kMovie{"movie.mp4", "-c:v libx264 -c:a aac -f mp4", 480, 200, 10, 32000, 1};
const Clip kSong{"song.mp3", "-c:a libmp3lame -f mp3", 0, 0, 0, 22050, 1};
const Clip kTake{"take.wav", "-c:a pcm_s16le -f wav", 0, 0, 0, 48000, 2};

struct FormatCase {
    const char* name;
    const char* format;
    int profile;  // 0: the handler's first
    bool videoSourcesOnly;
    const char* videoCodec;  // nullptr: the output has no video
    int width, height;
    const char* audioCodec;    // "pcm_": any PCM
    int sampleRate, channels;  // 0: the source's
    int audioKbps;             // 0: not looked at
};

const FormatCase kFormats[] = {
    {"Wmv", "wmv", 0, true, "wmv2", 320, 240, "wmav2", 44100, 2, 64},
    {"WmvProfile2", "wmv", 2, true, "wmv2", 640, 480, "wmav2", 44100, 2, 64},
    {"WmvProfile3", "wmv", 3, true, "wmv2", 720, 576, "wmav2", 44100, 2, 64},
    {"Wav", "wav", 0, false, nullptr, 0, 0, "pcm_", 0, 0, 0},
    {"WavProfile2", "wav", 2, false, nullptr, 0, 0, "pcm_", 44100, 0, 0},
    {"M4a", "m4a", 0, false, nullptr, 0, 0, "aac", 0, 0, 0},
    {"Mp3", "mp3", 0, false, nullptr, 0, 0, "mp3", 0, 0, 0},
    {"Mp3Profile2", "mp3", 2, false, nullptr, 0, 0, "mp3", 44100, 0, 0},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FormatCase& row, std::ostream* out) { *out << row.name; }

class FormatChoiceTest : public ::testing::TestWithParam<FormatCase> {};

std::vector<Clip> SourcesFor(const FormatCase& row)
{
    if (row.videoSourcesOnly) return {kMovie};
    return {kMovie, kSong, kTake};
}

std::vector<std::string> ArgumentsFor(const FormatCase& row, const fs::path& outputs)
{
    std::vector<std::string> arguments{"-sendto=My Computer", std::string("-format=") + row.format,
                                       "-outdir=" + outputs.string()};
    if (row.profile > 0) arguments.push_back("-profile=" + std::to_string(row.profile));
    return arguments;
}

void ExpectOutput(const Probe& probe, const FormatCase& row, const Clip& source)
{
    const bool video = row.videoCodec != nullptr;
    EXPECT_TRUE(HasStreams(probe, video, 1));
    if (video) {
        EXPECT_TRUE(HasVideo(probe, row.videoCodec, row.width, row.height));
    }
    EXPECT_TRUE(HasAudio(probe, row.audioCodec, row.sampleRate ? row.sampleRate : source.sampleRate,
                         row.channels ? row.channels : source.channels));
    if (row.audioKbps > 0) {
        const int stream = probe.FirstStream("audio");
        const double kbps = probe.Number("streams.stream." + std::to_string(stream) + ".bit_rate") / 1000;
        EXPECT_NEAR(kbps, row.audioKbps, row.audioKbps * 0.15);
    }
    EXPECT_TRUE(LastsLikeTheClips(probe));
}

TEST_P(FormatChoiceTest, WritesThePromisedStreams)
{
    const FormatCase& row = GetParam();
    testing_files::TempFolder temp;
    const fs::path outputs = temp.Path() / "out";
    std::vector<std::string> arguments = ArgumentsFor(row, outputs);
    for (const Clip& clip : SourcesFor(row)) {
        ASSERT_TRUE(MakeClip(temp.Path(), clip));
        arguments.push_back(temp.File(clip.fileName));
    }

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home").Run(arguments);

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    for (const Clip& clip : SourcesFor(row)) {
        SCOPED_TRACE(clip.fileName);
        ExpectOutput(Probe(OutputFor(outputs, clip.fileName, row.format).string()), row, clip);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatChoiceTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace testing_e2e
