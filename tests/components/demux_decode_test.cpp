// Every container the program lists, made by the ffmpeg command with the
// codecs customary for it, demultiplexed and decoded to raw video and audio
// through intelligent connect; ffprobe's decoding of the same file is the
// oracle for frame counts, audio length and picture size.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "tests/components/demux_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace demux_testing;

namespace {

constexpr const char* kPicture = "-f lavfi -i testsrc=size=160x120:rate=25 ";
constexpr const char* kTone = "-f lavfi -i sine=frequency=440:sample_rate=44100 ";

struct ContainerCase {
    const char* extension;
    const char* codecs;  // ffmpeg's output options
    bool hasVideo;
    CLSID demultiplexer;
    CLSID videoDecoder;  // GUID_NULL without video
    CLSID audioDecoder;
};

std::ostream& operator<<(std::ostream& out, const ContainerCase& c) { return out << c.extension; }

const ContainerCase kContainers[] = {
    {"mp4", "-c:v libx264 -c:a aac", true, CLSID_Demultiplexer, CLSID_H264Decoder, CLSID_AudioDecoder},
    {"mov", "-c:v libx264 -c:a aac", true, CLSID_Demultiplexer, CLSID_H264Decoder, CLSID_AudioDecoder},
    {"qt", "-c:v mpeg4 -c:a aac -f mov", true, CLSID_Demultiplexer, CLSID_Mpeg4Decoder, CLSID_AudioDecoder},
    {"m4v", "-c:v libx264 -c:a aac -f mp4", true, CLSID_Demultiplexer, CLSID_H264Decoder, CLSID_AudioDecoder},
    {"f4v", "-c:v libx264 -c:a aac -f f4v", true, CLSID_Demultiplexer, CLSID_H264Decoder, CLSID_AudioDecoder},
    {"3gp", "-c:v mpeg4 -c:a aac -ac 1 -ar 16000", true, CLSID_Demultiplexer, CLSID_Mpeg4Decoder, CLSID_AudioDecoder},
    {"flv", "-c:v flv -c:a libmp3lame", true, CLSID_Demultiplexer, CLSID_OtherVideoDecoder, CLSID_OtherAudioDecoder},
    {"avi", "-c:v mpeg4 -c:a libmp3lame", true, CLSID_Demultiplexer, CLSID_Mpeg4Decoder, CLSID_OtherAudioDecoder},
    {"asf", "-c:v wmv2 -c:a wmav2", true, CLSID_Demultiplexer, CLSID_OtherVideoDecoder, CLSID_OtherAudioDecoder},
    {"wmv", "-c:v wmv2 -c:a wmav2", true, CLSID_Demultiplexer, CLSID_OtherVideoDecoder, CLSID_OtherAudioDecoder},
    {"wma", "-vn -c:a wmav2", false, CLSID_Demultiplexer, GUID_NULL, CLSID_OtherAudioDecoder},
    {"mpg", "-c:v mpeg1video -c:a mp2 -f mpeg", true, CLSID_SecondDemultiplexer, CLSID_Mpeg2Decoder,
     CLSID_OtherAudioDecoder},
    {"mpeg", "-c:v mpeg2video -c:a mp2 -f vob", true, CLSID_SecondDemultiplexer, CLSID_Mpeg2Decoder,
     CLSID_OtherAudioDecoder},
    {"vob", "-c:v mpeg2video -c:a ac3 -f vob", true, CLSID_SecondDemultiplexer, CLSID_Mpeg2Decoder, CLSID_Ac3Decoder},
    {"ts", "-c:v libx264 -c:a aac", true, CLSID_Demultiplexer, CLSID_H264Decoder, CLSID_AudioDecoder},
    {"wav", "-vn -c:a pcm_s16le", false, CLSID_Demultiplexer, GUID_NULL, CLSID_OtherAudioDecoder},
    {"mp3", "-vn -c:a libmp3lame", false, CLSID_Demultiplexer, GUID_NULL, CLSID_OtherAudioDecoder},
    {"mpa", "-vn -c:a mp2 -f mp2", false, CLSID_Demultiplexer, GUID_NULL, CLSID_OtherAudioDecoder},
    {"m4a", "-vn -c:a aac -f ipod", false, CLSID_Demultiplexer, GUID_NULL, CLSID_AudioDecoder},
    {"aac", "-vn -c:a aac -f adts", false, CLSID_Demultiplexer, GUID_NULL, CLSID_AudioDecoder},
};

class ContainerDecode : public testing::TestWithParam<ContainerCase> {
protected:
    void SetUp() override { RegisterEverything(); }
    testing_files::TempFolder m_folder;
};

TEST_P(ContainerDecode, DecodesEveryStreamToRawMedia)
{
    const ContainerCase& c = GetParam();
    const std::string path = m_folder.File(std::string("clip.") + c.extension);
    ASSERT_TRUE(testing_media::MakeMedia(path, std::string(c.hasVideo ? kPicture : "") + kTone + "-t 1 " + c.codecs));

    DemuxGraph g(path, c.demultiplexer);
    ASSERT_EQ(g.ConnectSource(), S_OK);
    const auto outputs = g.Outputs();
    ASSERT_EQ(outputs.size(), c.hasVideo ? 2u : 1u);
    EXPECT_EQ(PinId(outputs.front().Get()), c.hasVideo ? "Video" : "Audio") << "video first, then audio";
    ASSERT_EQ(g.ConnectAllToRawSinks(), S_OK);

    const auto codes = g.Run();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), EC_COMPLETE);

    const testing_media::Probe probe(path);
    if (c.hasVideo) {
        CRawSink* sink = g.sinks.front();
        EXPECT_EQ(UpstreamClass(g.h.Pin(sink, PINDIR_INPUT)), c.videoDecoder);
        const auto format = ReadRawVideoType(sink->ConnectedType());
        ASSERT_TRUE(format) << "the sink took raw video";
        const int videoStream = probe.FirstStream("video");
        EXPECT_EQ(format->width, std::atoi(probe.Stream(videoStream, "width").c_str()));
        EXPECT_EQ(format->height, std::atoi(probe.Stream(videoStream, "height").c_str()));

        const auto samples = sink->Samples();
        const auto expected = ProbeVideoFrameTimes(path);
        EXPECT_NEAR(static_cast<double>(samples.size()), static_cast<double>(expected.size()), 1.0);
        for (size_t i = 0; i < std::min(samples.size(), expected.size()); ++i) {
            ASSERT_TRUE(samples[i].start) << i;
            if (!expected[i]) continue;
            EXPECT_NEAR(static_cast<double>(*samples[i].start), static_cast<double>(*expected[i]), 10000.0) << i;
        }
    }
    CRawSink* audioSink = g.sinks.back();
    EXPECT_EQ(UpstreamClass(g.h.Pin(audioSink, PINDIR_INPUT)), c.audioDecoder);
    const auto audio = ReadRawAudioType(audioSink->ConnectedType());
    ASSERT_TRUE(audio) << "the sink took raw audio";
    long bytes = 0;
    for (const auto& sample : audioSink->Samples()) bytes += sample.length;
    const double seconds = static_cast<double>(bytes) / audio->BytesPerFrame() / audio->sampleRate;
    EXPECT_NEAR(seconds, ProbeAudioSeconds(path), 0.1);
}

INSTANTIATE_TEST_SUITE_P(EveryListedExtension, ContainerDecode, testing::ValuesIn(kContainers),
                         [](const auto& info) { return std::string(info.param.extension); });

}  // namespace
