// LAME MP3 writer: raw audio becomes an MP3 file of the chosen bit rate
// whose length (from its Xing/LAME frame) is the source's.
#include <gtest/gtest.h>

#include <cmath>

#include "components/component_ids.h"
#include "tests/components/writer_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace testing_media;
using namespace writer_tests;
using testing_files::TempFolder;

TEST(Mp3Writer, EncodesAtTheChosenRateWithExactLength)
{
    TempFolder folder;
    struct Case {
        const char* what;
        RawAudioFormat format;
        double seconds;
        int sampleRate, channels, bitRate;
    } cases[] = {
        {"CD audio", {AV_SAMPLE_FMT_S16, 44100, 2}, 2.0, 44100, 2, 192000},
        {"float mono 48 kHz", {AV_SAMPLE_FMT_FLT, 48000, 1}, 1.5, 48000, 1, 96000},
        {"22.05 kHz stereo", {AV_SAMPLE_FMT_S16, 22050, 2}, 1.0, 22050, 2, 128000},
        {"96 kHz is resampled", {AV_SAMPLE_FMT_FLT, 96000, 2}, 1.0, 48000, 2, 192000},
        {"5.1 is mixed down", {AV_SAMPLE_FMT_S16, 48000, 6}, 1.0, 48000, 2, 192000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.File(std::string(c.what) + ".mp3");
        WriterGraph g(CLSID_LameMp3Writer, path);
        ASSERT_TRUE(g.writer);
        ASSERT_EQ(g.AddAudio(c.format, c.seconds), S_OK);
        EXPECT_EQ(Codes(g.Run()), std::vector<long>{EC_COMPLETE});

        const Probe probe(path);
        EXPECT_EQ(probe.Stream(0, "codec_name"), "mp3");
        EXPECT_EQ(probe.Stream(0, "sample_rate"), std::to_string(c.sampleRate));
        EXPECT_EQ(probe.Stream(0, "channels"), std::to_string(c.channels));
        EXPECT_EQ(probe.Stream(0, "bit_rate"), std::to_string(c.bitRate));
        EXPECT_NEAR(probe.Duration(), c.seconds, 0.1);
        // Decoded, it has the source's length to the sample: the LAME frame
        // tells the decoder the encoder's delay and padding.
        const std::string decoded =
            RunCommand("ffmpeg -nostdin -v error -i " + Quoted(path) + " -f s16le -ac 1 - | wc -c");
        EXPECT_EQ(std::stol(decoded) / 2, std::lround(c.seconds * c.sampleRate));
    }
}
