// WAV writer: raw audio of each kind becomes a WAV file that ffprobe reads
// with the source's format and length.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "tests/components/writer_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace testing_media;
using namespace writer_tests;
using testing_files::TempFolder;

TEST(WavWriter, WritesTheAudioItReceives)
{
    TempFolder folder;
    struct Case {
        const char* what;
        RawAudioFormat format;
        double seconds;
        const char* codec;
    } cases[] = {
        {"16-bit stereo", {AV_SAMPLE_FMT_S16, 44100, 2}, 1.5, "pcm_s16le"},
        {"16-bit mono", {AV_SAMPLE_FMT_S16, 48000, 1}, 1.0, "pcm_s16le"},
        {"16-bit 5.1", {AV_SAMPLE_FMT_S16, 48000, 6}, 0.5, "pcm_s16le"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.File(std::string(c.what) + ".wav");
        WriterGraph g(CLSID_WavWriter, path);
        ASSERT_TRUE(g.writer);
        ASSERT_EQ(g.AddAudio(c.format, c.seconds), S_OK);
        EXPECT_EQ(Codes(g.Run()), std::vector<long>{EC_COMPLETE});

        const Probe probe(path);
        EXPECT_EQ(probe.Stream(0, "codec_name"), c.codec);
        EXPECT_EQ(probe.Stream(0, "sample_rate"), std::to_string(c.format.sampleRate));
        EXPECT_EQ(probe.Stream(0, "channels"), std::to_string(c.format.channels));
        EXPECT_NEAR(probe.Duration(), c.seconds, 0.1);
        // The tone survives: ffmpeg measures its level (0.5 of full scale, -6 dB).
        const std::string volume =
            RunCommand("ffmpeg -nostdin -v info -i " + Quoted(path) + " -af volumedetect -f null - 2>&1");
        EXPECT_NE(volume.find("max_volume: -6.0 dB"), std::string::npos) << volume;
    }
}

TEST(WavWriter, TakesIntegerPcmOnly)
{
    TempFolder folder;
    for (const AVSampleFormat refused : {AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S32}) {
        WriterGraph g(CLSID_WavWriter, folder.File("refused.wav"));
        ASSERT_TRUE(g.writer);
        EXPECT_EQ(g.AddAudio({refused, 48000, 2}, 0.5), VFW_E_TYPE_NOT_ACCEPTED) << refused;
    }
}
