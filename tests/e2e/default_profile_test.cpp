// Without -format, "My Computer" writes MPEG-4 with the netbook profile:
// H.264 within 1024x576 at the source's frame rate, AAC at the source's
// sample rate. One run takes a file of every extension the program knows.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "tests/e2e/e2e_media.h"
#include "tests/e2e/tavimo_command.h"
#include "tests/support/temp_folder.h"

namespace testing_e2e {
namespace {

namespace fs = std::filesystem;
using testing_media::Probe;

// One clip per known extension, with a spread of codecs, frame sizes (16:9,
// 4:3, 12:5, 11:9; two larger than the box), rates and channel counts.
const std::vector<Clip> kEveryExtension = {
    {"in-mpeg.mpeg", "-c:v mpeg1video -c:a mp2 -f mpeg", 320, 240, 25, 44100, 2},
    {"in-mpg.mpg", "-c:v mpeg2video -c:a mp2 -f mpeg", 480, 200, 25, 48000, 1},
    {"in-mpv.mpv", "-c:v mpeg2video -f mpeg2video", 320, 180, 25, 0, 0},
    {"in-mp4.mp4", "-c:v libx264 -c:a aac -f mp4", 320, 180, 10, 44100, 2},
    {"in-m4v.m4v", "-c:v mpeg4 -c:a aac -f mp4", 480, 200, 10, 22050, 1},
    {"in-mov.MOV", "-c:v libx264 -c:a pcm_s16le -f mov", 1280, 720, 10, 48000, 2},
    {"in-qt.qt", "-c:v mjpeg -c:a aac -f mov", 320, 240, 10, 32000, 1},
    {"in-vob.vob", "-c:v mpeg2video -c:a ac3 -f vob", 352, 288, 25, 48000, 2},
    {"in-3gp.3gp", "-c:v libx264 -c:a aac -f 3gp", 176, 144, 10, 16000, 1},
    {"in-f4v.f4v", "-c:v libx264 -c:a aac -f f4v", 320, 180, 10, 44100, 2},
    {"in-flv.flv", "-c:v flv1 -c:a libmp3lame -f flv", 320, 240, 10, 22050, 1},
    {"in-wmv.wmv", "-c:v wmv2 -c:a wmav2 -f asf", 320, 180, 10, 44100, 2},
    {"in-avi.avi", "-c:v mpeg4 -c:a libmp3lame -f avi", 1200, 500, 10, 48000, 2},
    {"in-ts.ts", "-c:v libx264 -c:a aac -f mpegts", 480, 200, 10, 48000, 2},
    {"tone-wav.wav", "-c:a pcm_s16le -f wav", 0, 0, 0, 48000, 2},
    {"tone-mp3.mp3", "-c:a libmp3lame -f mp3", 0, 0, 0, 44100, 1},
    {"tone-mpa.mpa", "-c:a mp2 -f mp2", 0, 0, 0, 32000, 2},
    {"tone-m4a.m4a", "-c:a aac -f ipod", 0, 0, 0, 22050, 1},
    {"tone-wma.wma", "-c:a wmav2 -f asf", 0, 0, 0, 44100, 2},
    {"tone-aac.aac", "-c:a aac -f adts", 0, 0, 0, 48000, 2},
};

void ExpectNetbookMp4(const fs::path& output, const Clip& source)
{
    const Probe probe(output.string());
    EXPECT_TRUE(HasStreams(probe, source.HasVideo(), source.HasAudio()));
    if (source.HasVideo()) {
        EXPECT_EQ(probe.Stream(probe.FirstStream("video"), "codec_name"), "h264");
        EXPECT_TRUE(FitsWithin(output, 1024, 576, source));
        EXPECT_TRUE(HasFrameRate(probe, source.frameRate));
    }
    if (source.HasAudio()) {
        EXPECT_TRUE(HasAudio(probe, "aac", source.sampleRate, source.channels));
    }
    EXPECT_TRUE(LastsLikeTheClips(probe));
}

TEST(DefaultProfileTest, EveryKnownExtensionBecomesNetbookMp4)
{
    testing_files::TempFolder temp;
    const fs::path inputs = temp.Path() / "in", outputs = temp.Path() / "out";
    fs::create_directories(inputs);
    std::vector<std::string> arguments{"-sendto=My Computer", "-outdir=" + outputs.string()};
    for (const Clip& clip : kEveryExtension) {
        ASSERT_TRUE(MakeClip(inputs, clip));
        arguments.push_back((inputs / clip.fileName).string());
    }

    const ChildOutcome outcome = TavimoCommand(temp.Path() / "home").Run(arguments);

    EXPECT_EQ(outcome.exitCode, 0) << Describe(outcome);
    for (const Clip& clip : kEveryExtension) {
        SCOPED_TRACE(clip.fileName);
        ExpectNetbookMp4(OutputFor(outputs, clip.fileName, "mp4"), clip);
    }
    const auto written = std::distance(fs::directory_iterator(outputs), fs::directory_iterator());
    EXPECT_EQ(written, static_cast<long>(kEveryExtension.size()));
}

}  // namespace
}  // namespace testing_e2e
