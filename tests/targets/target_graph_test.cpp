// Each handler converting real files made by ffmpeg, checked with ffprobe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "components/component_ids.h"
#include "components/component_interfaces.h"
#include "res/string_table.h"
#include "services/settings_store.h"
#include "tests/services/isolated_settings.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tests/targets/target_graph.h"
#include "targets/audio_file_target_handler.h"
#include "targets/m4a_target_handler.h"
#include "targets/mpeg4_target_handler.h"
#include "targets/wmv_target_handler.h"

namespace {

using target_testing::ConvertWith;
using target_testing::HandlerRun;
using testing_media::Probe;

// What the clip holds: a picture of that size (0: none), a tone at that
// rate (0: none), for most of a second.
struct Clip {
    int width = 0, height = 0;
    int sampleRate = 0;
};

std::string ClipArguments(const Clip& clip)
{
    std::string inputs, codecs;
    if (clip.width > 0) {
        inputs += "-f lavfi -i testsrc=size=" + std::to_string(clip.width) + "x" + std::to_string(clip.height) +
                  ":rate=25 ";
        codecs += "-c:v libx264 -preset ultrafast -pix_fmt yuv420p ";
    }
    if (clip.sampleRate > 0) {
        inputs += "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(clip.sampleRate) + " ";
        codecs += "-c:a aac -ac 2 ";
    }
    return inputs + "-t 0.8 " + codecs;
}

bool EndedCleanly(const HandlerRun& run)
{
    return std::find(run.events.begin(), run.events.end(), EC_COMPLETE) != run.events.end() &&
           std::find(run.events.begin(), run.events.end(), EC_ERRORABORT) == run.events.end();
}

class TargetGraphTest : public testing::Test {
protected:
    std::string MakeClip(const Clip& clip)
    {
        const std::string path = folder.File("clip.mp4");
        EXPECT_TRUE(testing_media::MakeMedia(path, ClipArguments(clip)));
        return path;
    }

    // Converts the clip and checks that the run ended with a file.
    HandlerRun Convert(CTargetHandler& handler, const Clip& clip, const std::string& output)
    {
        const HandlerRun run = ConvertWith(handler, MakeClip(clip), output);
        EXPECT_EQ(run.added, S_OK);
        EXPECT_EQ(run.completed, S_OK);
        EXPECT_TRUE(EndedCleanly(run));
        return run;
    }

    testing_files::TempFolder folder;
};

TEST_F(TargetGraphTest, NetbookProfileScales720pDownTo1024x576)
{
    CMPEG4TargetHandler handler;
    const std::string output = folder.File("out.mp4");
    const HandlerRun run = Convert(handler, {1280, 720, 48000}, output);
    EXPECT_TRUE(run.Holds(CLSID_Scaler));
    EXPECT_FALSE(run.Holds(CLSID_FrameRateConverter));

    const Probe probe(output);
    ASSERT_EQ(probe.StreamCount(), 2);
    EXPECT_EQ(probe.Stream(0, "codec_name"), "h264");
    EXPECT_EQ(probe.Stream(0, "width"), "1024");
    EXPECT_EQ(probe.Stream(0, "height"), "576");
    EXPECT_EQ(probe.Stream(1, "codec_name"), "aac");
    EXPECT_GT(probe.Duration(), 0.5);
}

TEST_F(TargetGraphTest, NetbookProfileKeepsASmallPictureAsItIs)
{
    CMPEG4TargetHandler handler;
    const std::string output = folder.File("out.mp4");
    const HandlerRun run = Convert(handler, {320, 240, 44100}, output);
    EXPECT_FALSE(run.Holds(CLSID_Scaler));

    const Probe probe(output);
    const int video = probe.FirstStream("video");
    ASSERT_GE(video, 0);
    EXPECT_EQ(probe.Stream(video, "width"), "320");
    EXPECT_EQ(probe.Stream(video, "height"), "240");
}

TEST_F(TargetGraphTest, ChosenMpeg4Part2EncoderAndFrameRateReachTheFile)
{
    CMPEG4TargetHandler handler;
    handler.video.encoder = CLSID_Mpeg4Encoder;
    handler.video.frameRate = 1500;
    const std::string output = folder.File("out.mp4");
    const HandlerRun run = Convert(handler, {320, 240, 44100}, output);
    EXPECT_TRUE(run.Holds(CLSID_FrameRateConverter));
    EXPECT_TRUE(run.Holds(CLSID_Mpeg4Encoder));
    EXPECT_FALSE(run.Holds(CLSID_AvcEncoder));

    const Probe probe(output);
    ASSERT_EQ(probe.StreamCount(), 2);
    EXPECT_EQ(probe.Stream(0, "codec_name"), "mpeg4");
    EXPECT_EQ(probe.Stream(0, "r_frame_rate"), "15/1");
    EXPECT_EQ(probe.Stream(0, "nb_frames"), "12");  // 0.8 s
    EXPECT_EQ(probe.Stream(1, "codec_name"), "aac");
}

TEST_F(TargetGraphTest, M4aFromAVideoFileKeepsOnlyTheSound)
{
    CM4ATargetHandler handler;
    const std::string output = folder.File("out.m4a");
    const HandlerRun run = Convert(handler, {320, 240, 44100}, output);
    EXPECT_TRUE(run.videoConnected);
    EXPECT_TRUE(run.Holds(CLSID_VideoDiscard));
    EXPECT_FALSE(run.Holds(CLSID_Scaler));
    EXPECT_FALSE(run.Holds(CLSID_FrameRateConverter));

    const Probe probe(output);
    ASSERT_EQ(probe.StreamCount(), 1);
    EXPECT_EQ(probe.Stream(0, "codec_name"), "aac");
}

// An audio-only item leaves the video encoder without input, a silent video
// the audio encoder: the run must neither hang on it nor fail.
TEST_F(TargetGraphTest, Mpeg4FileHoldsOnlyTheStreamsTheSourceHas)
{
    struct Row {
        const char* name;
        Clip clip;
        const char* codec;
        CLSID removed;
    };
    const Row rows[] = {
        {"audio only", {0, 0, 44100}, "aac", CLSID_AvcEncoder},
        {"silent video", {320, 240, 0}, "h264", CLSID_AacEncoder},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CMPEG4TargetHandler handler;
        const std::string output = folder.File(std::string(row.name) + ".mp4");
        const HandlerRun run = Convert(handler, row.clip, output);
        EXPECT_FALSE(run.Holds(row.removed));
        EXPECT_FALSE(run.Holds(CLSID_Scaler));

        const Probe probe(output);
        ASSERT_EQ(probe.StreamCount(), 1);
        EXPECT_EQ(probe.Stream(0, "codec_name"), row.codec);
    }
}

// The MPEG-4 handler with a second profile, whose encoder profile
// (baseline) and multiplexer values differ from the netbook profile's.
class CBaselineMpeg4Handler final : public CMPEG4TargetHandler {
public:
    CBaselineMpeg4Handler()
    {
        static constexpr int32_t kExtra[3] = {0, 3, 7};
        const TargetVideoSettings video{CLSID_AvcEncoder, 2, 640, 480, 0, 1200};
        const TargetAudioSettings audio{CLSID_AacEncoder, 0, 64};
        AddProfile(std::make_unique<CTargetProfile>(IDS_COMPUTER_PLAYBACK, &video, &audio, kExtra, sizeof kExtra));
        SelectProfile(1);
    }
};

// What a component of that class in the graph holds for the parameter.
std::optional<int32_t> ModuleValue(IFilterGraph* graph, const CLSID& component, const GUID& parameter)
{
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.ReleaseAndGetAddressOf())))
        return std::nullopt;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        CLSID clsid = GUID_NULL;
        filter->GetClassID(&clsid);
        ComPtr<IModuleConfig> config;
        if (clsid != component || FAILED(filter->QueryInterface(IModuleConfig::iid, config.ReleaseAndGetVoidAddress())))
            continue;
        VARIANT value;
        VariantInit(&value);
        if (FAILED(config->GetValue(&parameter, &value)))
            return std::nullopt;
        return value.lVal;
    }
    return std::nullopt;
}

// What the MPEG-4 handler gives its encoders and multiplexer, read back from
// the components before the run, and what reaches the file.
TEST_F(TargetGraphTest, Mpeg4HandlerConfiguresItsEncodersAndMultiplexer)
{
    using namespace component_params;
    struct Row {
        const char* name;
        std::unique_ptr<CTargetHandler> handler;
        Clip clip;
        CLSID videoEncoder;
        GUID encoderOption;   // the encoder's B-frame switch
        int32_t bitRate;      // bit/s
        int32_t profile;      // 0 baseline, 1 main, 2 high
        int32_t aacRate;      // kbit/s, which the encoder gets as a table index
        int32_t muxFirst, muxSecond;
        const char* codec;
        const char* codecProfile;  // ffprobe's name; "" not checked
        const char *width, *height, *sampleRate;
        int32_t encoderThreads;  // the "EncoderThreads" setting; 0 lets the encoder choose
    };
    Row rows[3] = {
        {"netbook profile", std::make_unique<CMPEG4TargetHandler>(), {1280, 720, 48000}, CLSID_AvcEncoder, AvcOption,
         3'000'000, 2, 128, 0, 0, "h264", "High", "1024", "576", "48000", 0},
        {"choices of the format dialog", std::make_unique<CMPEG4TargetHandler>(), {640, 360, 44100},
         CLSID_Mpeg4Encoder, Mpeg4Option, 800'000, 2, 96, 0, 0, "mpeg4", "", "320", "240", "44100", 3},
        {"baseline profile", std::make_unique<CBaselineMpeg4Handler>(), {320, 240, 44100}, CLSID_AvcEncoder,
         AvcOption, 1'200'000, 0, 64, 3, 7, "h264", "Constrained Baseline", "320", "240", "44100", 0},
    };
    const services_testing::IsolatedSettings settings;
    CTargetHandler& dialog = *rows[1].handler;
    dialog.video.encoder = CLSID_Mpeg4Encoder;
    dialog.video.bitRate = 800;
    dialog.video.resizeMode = 1;
    dialog.video.width = 320;
    dialog.video.height = 240;
    // No sample rate: the MPEG-4 handler hands AAC the source's own rate.
    dialog.audio.bitRate = 96;

    for (Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteProfileInt(kGeneralSection, kEncoderThreadsEntry, row.encoderThreads);
        const std::string output = folder.File(std::string(row.name) + ".mp4");
        const auto check = [&row](IFilterGraph* graph) {
            EXPECT_EQ(ModuleValue(graph, row.videoEncoder, BitRate), row.bitRate);
            EXPECT_EQ(ModuleValue(graph, row.videoEncoder, EncoderProfile), row.profile);
            EXPECT_EQ(ModuleValue(graph, row.videoEncoder, EncoderMode), 0) << "average bit rate";
            EXPECT_EQ(ModuleValue(graph, row.videoEncoder, row.encoderOption), 1);
            EXPECT_EQ(ModuleValue(graph, row.videoEncoder, EncoderThreads), row.encoderThreads);
            EXPECT_EQ(ModuleValue(graph, CLSID_AacEncoder, BitRate), AacBitRateIndex(row.aacRate));
            EXPECT_EQ(ModuleValue(graph, CLSID_Mp4Multiplexer, MuxFirst), row.muxFirst);
            EXPECT_EQ(ModuleValue(graph, CLSID_Mp4Multiplexer, MuxSecond), row.muxSecond);
        };
        const HandlerRun run = ConvertWith(*row.handler, MakeClip(row.clip), output, check);
        EXPECT_EQ(run.completed, S_OK);
        EXPECT_TRUE(EndedCleanly(run));

        const Probe probe(output);
        const int video = probe.FirstStream("video"), audio = probe.FirstStream("audio");
        ASSERT_GE(video, 0);
        ASSERT_GE(audio, 0);
        EXPECT_EQ(probe.Stream(video, "codec_name"), row.codec);
        if (*row.codecProfile) {
            EXPECT_EQ(probe.Stream(video, "profile"), row.codecProfile);
        }
        EXPECT_EQ(probe.Stream(video, "width"), row.width);
        EXPECT_EQ(probe.Stream(video, "height"), row.height);
        EXPECT_EQ(probe.Stream(audio, "codec_name"), "aac");
        EXPECT_EQ(probe.Stream(audio, "sample_rate"), row.sampleRate);
    }
}

TEST_F(TargetGraphTest, Mpeg4HandlerFailsWhenTheSourceReachedNeitherEncoder)
{
    target_testing::RegisterEverything();
    testing_filters::GraphHarness h;
    CMPEG4TargetHandler handler;
    ComPtr<IPin> videoIn, audioIn;
    ASSERT_EQ(handler.AddFilters(QString::fromStdString(folder.File("out.mp4")), h.graph.Get(),
                                 videoIn.ReleaseAndGetAddressOf(), audioIn.ReleaseAndGetAddressOf()),
              S_OK);
    EXPECT_EQ(handler.CompleteGraph(), E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.mp4")));
}

TEST_F(TargetGraphTest, WmvProfileSetsTheFrameSize)
{
    CTargetHandlerList list;
    CTargetHandler& wmv = *list.Handlers().at(1);
    const std::string output = folder.File("out.wmv");
    Convert(wmv, {352, 288, 44100}, output);

    const Probe probe(output);
    const int video = probe.FirstStream("video"), audio = probe.FirstStream("audio");
    ASSERT_GE(video, 0);
    ASSERT_GE(audio, 0);
    EXPECT_EQ(probe.Stream(video, "codec_name"), "wmv2");
    EXPECT_EQ(probe.Stream(video, "width"), "320");
    EXPECT_EQ(probe.Stream(video, "height"), "240");
    EXPECT_EQ(probe.Stream(audio, "codec_name"), "wmav2");
}

TEST_F(TargetGraphTest, AudioFilesKeepOrConvertTheSampleRate)
{
    struct Row {
        const char* name;
        int handler;  // position in the handler list
        int profile;
        Clip clip;
        const char* codec;
        const char* sampleRate;
        bool converter;
    };
    const Row rows[] = {
        {"wav for a computer", 2, 0, {0, 0, 48000}, "pcm_s16le", "48000", false},
        {"wav for an audio cd", 2, 1, {0, 0, 48000}, "pcm_s16le", "44100", true},
        {"mp3 from a video", 4, 0, {320, 240, 44100}, "mp3", "44100", false},
        {"mp3 for an audio cd", 4, 1, {0, 0, 48000}, "mp3", "44100", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CTargetHandlerList list;
        CTargetHandler& handler = *list.Handlers().at(row.handler);
        handler.SelectProfile(row.profile);
        const std::string output = folder.File(std::string(row.name) + "." + handler.GetFileExtension().toStdString());
        const HandlerRun run = Convert(handler, row.clip, output);
        // Without video in the source, the discard filter stays unconnected.
        EXPECT_EQ(run.videoConnected, row.clip.width > 0);
        EXPECT_EQ(run.Holds(CLSID_SampleRateConverter), row.converter);

        const Probe probe(output);
        ASSERT_EQ(probe.StreamCount(), 1);
        EXPECT_EQ(probe.Stream(0, "codec_name"), row.codec);
        EXPECT_EQ(probe.Stream(0, "sample_rate"), row.sampleRate);
        EXPECT_GT(probe.Duration(), 0.5);
    }
}

}  // namespace
