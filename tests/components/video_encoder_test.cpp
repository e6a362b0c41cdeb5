// The AVC and MPEG-4 Visual encoders: what they take, and what their
// parameters do to the stream ffprobe finds in the file.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "components/register_components.h"
#include "tests/components/mp4_output_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace mp4_testing;
using testing_files::TempFolder;
using testing_media::Probe;

namespace {

// A graph of video alone; returns what ffprobe says of the file.
Probe EncodeVideo(const TempFolder& folder, const VideoPart& video)
{
    const std::string path = folder.File("video.mp4");
    Mp4Graph graph(path, video, std::nullopt);
    EXPECT_EQ(graph.built, S_OK);
    const auto events = graph.Run();
    EXPECT_TRUE(!events.empty() && events.back().first == EC_COMPLETE);
    return Probe(path);
}

// 2 s of a moving test picture with grain, so the rate is the encoder's
// choice and not the content's limit; "" if ffmpeg failed.
std::string GrainyFrames(const TempFolder& folder)
{
    const std::string frames = folder.File("frames.yuv");
    const bool made = testing_media::MakeMedia(
        frames, "-f lavfi -i testsrc2=size=320x240:rate=25,noise=alls=4:allf=t -t 2 -pix_fmt yuv420p -f rawvideo");
    return made ? frames : "";
}

}  // namespace

TEST(VideoEncoder, TakesEvenSizedI420Only)
{
    RegisterComponents();
    RawVideoFormat rgb = VideoFormat(320, 240);
    rgb.pixelFormat = AV_PIX_FMT_BGRA;
    struct Case {
        const char* what;
        CMediaType type;
        bool accepted;
    } cases[] = {
        {"I420 320x240", RawVideoType(VideoFormat(320, 240)), true},
        {"I420 1024x576", RawVideoType(VideoFormat(1024, 576)), true},
        {"RGB32", RawVideoType(rgb), false},
        {"odd width", RawVideoType(VideoFormat(321, 240)), false},
        {"odd height", RawVideoType(VideoFormat(320, 239)), false},
        {"audio", RawAudioType(AudioFormat()), false},
    };
    for (const CLSID& encoder : {CLSID_AvcEncoder, CLSID_Mpeg4Encoder}) {
        const ComPtr<IBaseFilter> filter = Create(encoder);
        const ComPtr<IPin> input = NamedPin(filter.Get(), "In");
        ASSERT_TRUE(input);
        ASSERT_TRUE(NamedPin(filter.Get(), "Out"));
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(input->QueryAccept(&c.type) == S_OK, c.accepted);
        }
    }
}

TEST(VideoEncoder, KeepsToTheRequestedBitRate)
{
    TempFolder folder;
    const std::string frames = GrainyFrames(folder);
    ASSERT_FALSE(frames.empty());
    struct Case {
        const char* what;
        CLSID encoder;
        int bitRate;
    } cases[] = {
        {"H.264 at 600 kbit/s", CLSID_AvcEncoder, 600'000},
        {"H.264 at 1500 kbit/s", CLSID_AvcEncoder, 1'500'000},
        {"MPEG-4 at 1500 kbit/s", CLSID_Mpeg4Encoder, 1'500'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Probe probe = EncodeVideo(folder, VideoPart{c.encoder, VideoFormat(320, 240), 50, c.bitRate, {}, frames});
        EXPECT_NEAR(probe.Number("streams.stream.0.bit_rate"), c.bitRate, 0.2 * c.bitRate);
        EXPECT_EQ(probe.Stream(0, "nb_frames"), "50");
        EXPECT_NEAR(probe.Duration(), 2.0, 0.1);
    }
}

TEST(VideoEncoder, ProfileAndBFramesFollowTheParameters)
{
    using namespace component_params;
    struct Case {
        const char* what;
        CLSID encoder;
        std::map<GUID, int32_t> overrides;
        const char* profile;
        bool bFrames;
    } cases[] = {
        {"H.264 as the program sends it", CLSID_AvcEncoder, {}, "High", true},
        {"H.264 main", CLSID_AvcEncoder, {{EncoderProfile, 1}}, "Main", true},
        {"H.264 baseline", CLSID_AvcEncoder, {{EncoderProfile, 0}}, "Constrained Baseline", false},
        {"H.264 without B-frames", CLSID_AvcEncoder, {{AvcOption, 0}}, "High", false},
        {"MPEG-4 as the program sends it", CLSID_Mpeg4Encoder, {}, nullptr, true},
        {"MPEG-4 without B-frames", CLSID_Mpeg4Encoder, {{Mpeg4Option, 0}}, "Simple Profile", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const Probe probe = EncodeVideo(folder, VideoPart{c.encoder, VideoFormat(320, 240), 25, 400'000, c.overrides});
        if (c.profile) {
            EXPECT_EQ(probe.Stream(0, "profile"), c.profile);
        }
        EXPECT_EQ(probe.Number("streams.stream.0.has_b_frames") > 0, c.bFrames);
    }
}

TEST(VideoEncoder, ConstantQualityIgnoresTheBitRate)
{
    TempFolder folder;
    const std::string frames = GrainyFrames(folder);
    ASSERT_FALSE(frames.empty());
    double rates[2];
    for (int mode : {0, 1}) {
        const VideoPart video{CLSID_AvcEncoder, VideoFormat(320, 240), 50, 100'000, {{component_params::EncoderMode, mode}}, frames};
        rates[mode] = EncodeVideo(folder, video).Number("streams.stream.0.bit_rate");
    }
    EXPECT_NEAR(rates[0], 100'000, 20'000);
    EXPECT_GT(rates[1], 2 * rates[0]);
}

TEST(VideoEncoder, ParametersChangedAfterConnectingReachTheFile)
{
    // The stream header in the file must describe the stream as encoded,
    // not as it was when the output connected.
    TempFolder folder;
    const std::string path = folder.File("video.mp4");
    Mp4Graph graph(path, VideoPart{CLSID_AvcEncoder, VideoFormat(320, 240), 25, 400'000}, std::nullopt);
    ASSERT_EQ(graph.built, S_OK);
    ASSERT_EQ(Configure(graph.videoEncoder.Get(), {{component_params::EncoderProfile, 0}}), S_OK);
    const auto events = graph.Run();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().first, EC_COMPLETE);
    const Probe probe(path);
    EXPECT_EQ(probe.Stream(0, "profile"), "Constrained Baseline");
    EXPECT_EQ(probe.Stream(0, "has_b_frames"), "0");
}
