// The MP4 multiplexer in the graphs the program builds: which streams the
// file holds, its layout and timing, and how a failing writer or an input
// that never starts ends a run.
#include <gtest/gtest.h>

#include <cstring>

#include "components/component_ids.h"
#include "components/register_components.h"
#include "components/write/pending_packets.h"
#include "platform/dshow/filter_interfaces.h"
#include "tests/components/mp4_output_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/raw_media_filters.h"
#include "tests/support/temp_folder.h"

using namespace mp4_testing;
using testing_files::TempFolder;
using testing_media::Probe;

namespace {

constexpr double kSeconds = 2.0;

VideoPart SmallVideo(REFCLSID encoder = CLSID_AvcEncoder, int frames = 50)
{
    return VideoPart{encoder, VideoFormat(320, 240), frames, 400'000};
}

AudioPart Tone(double seconds = kSeconds) { return AudioPart{AudioFormat(), seconds, 18}; }

long LastCode(const std::vector<testing_filters::EventRecord>& events)
{
    return events.empty() ? 0 : events.back().first;
}

// A compressed type of `codec`, 320 x 240 for video, 44.1 kHz stereo for audio.
CMediaType Compressed(AVCodecID codec, AVMediaType kind)
{
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    parameters->codec_type = kind;
    parameters->codec_id = codec;
    parameters->width = 320;
    parameters->height = 240;
    parameters->sample_rate = 44100;
    av_channel_layout_default(&parameters->ch_layout, 2);
    return CompressedType(*parameters, AVRational{25, 1});
}

// The types of the file's top-level boxes with their offsets, in order.
std::vector<std::pair<std::string, uint64_t>> TopLevelBoxes(const std::string& bytes)
{
    std::vector<std::pair<std::string, uint64_t>> boxes;
    uint64_t at = 0;
    while (at + 8 <= bytes.size()) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        uint64_t size = (uint64_t{p[0]} << 24) | (uint64_t{p[1]} << 16) | (uint64_t{p[2]} << 8) | p[3];
        if (size == 1 && at + 16 <= bytes.size()) {
            size = 0;
            for (int i = 8; i < 16; ++i) size = (size << 8) | p[i];
        }
        boxes.emplace_back(bytes.substr(at + 4, 4), at);
        if (size < 8) break;
        at += size;
    }
    return boxes;
}

}  // namespace

TEST(Mp4Multiplexer, WritesEachEncodersStreamIntoAnMp4File)
{
    struct Case {
        const char* what;
        CLSID encoder;
        const char* codecName;
    } cases[] = {
        {"H.264 and AAC", CLSID_AvcEncoder, "h264"},
        {"MPEG-4 Visual and AAC", CLSID_Mpeg4Encoder, "mpeg4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string path = folder.File("out.mp4");
        Mp4Graph graph(path, SmallVideo(c.encoder), Tone());
        ASSERT_EQ(graph.built, S_OK);
        ASSERT_EQ(LastCode(graph.Run()), EC_COMPLETE);

        const Probe probe(path);
        ASSERT_EQ(probe.StreamCount(), 2);
        EXPECT_NE(probe.Get("format.format_name").find("mp4"), std::string::npos);
        EXPECT_EQ(probe.Stream(0, "codec_name"), c.codecName);
        EXPECT_EQ(probe.Stream(0, "width"), "320");
        EXPECT_EQ(probe.Stream(1, "codec_name"), "aac");
        EXPECT_EQ(probe.Stream(1, "sample_rate"), "44100");
        EXPECT_EQ(probe.Stream(1, "channels"), "2");
        for (int stream = 0; stream < 2; ++stream)
            EXPECT_NEAR(probe.Number("streams.stream." + std::to_string(stream) + ".duration"), kSeconds, 0.1);
        EXPECT_NEAR(probe.Duration(), kSeconds, 0.1);
    }
}

TEST(Mp4Multiplexer, LeavesOutAStreamThatNeverStarted)
{
    struct Case {
        const char* what;
        std::optional<VideoPart> video;
        std::optional<AudioPart> audio;
        const char* onlyCodec;
    } cases[] = {
        {"M4A: audio alone on Input 0", std::nullopt, Tone(), "aac"},
        {"audio connected but silent", SmallVideo(), Tone(0), "h264"},
        {"video connected but without frames", SmallVideo(CLSID_AvcEncoder, 0), Tone(), "aac"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string path = folder.File("out.mp4");
        Mp4Graph graph(path, c.video, c.audio);
        ASSERT_EQ(graph.built, S_OK);
        ASSERT_EQ(LastCode(graph.Run()), EC_COMPLETE);
        const Probe probe(path);
        ASSERT_EQ(probe.StreamCount(), 1);
        EXPECT_EQ(probe.Stream(0, "codec_name"), c.onlyCodec);
        EXPECT_NEAR(probe.Duration(), kSeconds, 0.1);
    }
}

TEST(Mp4Multiplexer, NothingReceivedFailsTheRun)
{
    TempFolder folder;
    Mp4Graph graph(folder.File("out.mp4"), SmallVideo(CLSID_AvcEncoder, 0), Tone(0));
    ASSERT_EQ(graph.built, S_OK);
    EXPECT_EQ(LastCode(graph.Run()), EC_ERRORABORT);
}

TEST(Mp4Multiplexer, PutsTheIndexBeforeTheMedia)
{
    TempFolder folder;
    const std::string path = folder.File("out.mp4");
    Mp4Graph graph(path, SmallVideo(), Tone());
    ASSERT_EQ(graph.built, S_OK);
    ASSERT_EQ(LastCode(graph.Run()), EC_COMPLETE);

    const auto boxes = TopLevelBoxes(testing_files::ReadFileBytes(path));
    auto offsetOf = [&](const std::string& type) {
        for (const auto& [name, offset] : boxes)
            if (name == type) return static_cast<int64_t>(offset);
        return int64_t{-1};
    };
    ASSERT_GE(offsetOf("moov"), 0);
    ASSERT_GE(offsetOf("mdat"), 0);
    EXPECT_LT(offsetOf("moov"), offsetOf("mdat"));
    EXPECT_EQ(boxes.front().first, "ftyp");
}

TEST(Mp4Multiplexer, AFullDiskEndsTheRunWithErrorAbort)
{
    Mp4Graph graph("/dev/full", SmallVideo(), Tone());
    ASSERT_EQ(graph.built, S_OK);
    const auto events = graph.Run();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().first, EC_ERRORABORT);
    EXPECT_EQ(static_cast<HRESULT>(events.back().second), HRESULT_FROM_WIN32(ERROR_DISK_FULL));
}

TEST(Mp4Multiplexer, TakesOnlyWhatMp4CanCarry)
{
    RegisterComponents();
    const ComPtr<IBaseFilter> mux = Create(CLSID_Mp4Multiplexer);
    const ComPtr<IPin> input = NamedPin(mux.Get(), "Input 1");
    ASSERT_TRUE(input);

    struct Case {
        const char* what;
        CMediaType type;
        bool accepted;
    } cases[] = {
        {"H.264", Compressed(AV_CODEC_ID_H264, AVMEDIA_TYPE_VIDEO), true},
        {"MPEG-4 Visual", Compressed(AV_CODEC_ID_MPEG4, AVMEDIA_TYPE_VIDEO), true},
        {"AAC", Compressed(AV_CODEC_ID_AAC, AVMEDIA_TYPE_AUDIO), true},
        {"WMV 2", Compressed(AV_CODEC_ID_WMV2, AVMEDIA_TYPE_VIDEO), false},
        {"raw video", RawVideoType(VideoFormat(320, 240)), false},
        {"raw audio", RawAudioType(AudioFormat()), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(input->QueryAccept(&c.type) == S_OK, c.accepted);
    }
}

TEST(Mp4Multiplexer, OutputConnectsOnlyToAPinWithAStream)
{
    RegisterComponents();
    testing_filters::GraphHarness h;
    const ComPtr<IBaseFilter> mux = Create(CLSID_Mp4Multiplexer);
    const ComPtr<IBaseFilter> sink(new testing_media::CCollectingSink());
    h.Add(mux.Get(), "mux");
    h.Add(sink.Get(), "sink");
    EXPECT_TRUE(FAILED(h.graph->ConnectDirect(NamedPin(mux.Get(), "Output").Get(), h.Pin(sink.Get(), PINDIR_INPUT), nullptr)));
}

TEST(Mp4Multiplexer, AnInputThatNeverStartsFailsTheRunOnceTheWaitingPacketsPassTheirBound)
{
    // Video packets pile up on "Input 0" while the audio on "Input 1" never
    // starts, so the header can never be written.
    constexpr LONG kLarge = 1 << 20;
    struct Case {
        const char* what;
        int packets;
        LONG size;
    } cases[] = {
        {"large packets, past the bytes", static_cast<int>(CPendingPackets::kMaxBytes / kLarge) + 1, kLarge},
        {"small packets, past the count", static_cast<int>(CPendingPackets::kMaxCount) + 1, 16},
    };
    RegisterComponents();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        testing_filters::GraphHarness h;
        const ComPtr<IBaseFilter> mux = Create(CLSID_Mp4Multiplexer);
        const ComPtr<IBaseFilter> writer = Create(CLSID_FileWriter);
        const ComPtr<IBaseFilter> video(new testing_media::CBlankSampleSource(
            Compressed(AV_CODEC_ID_H264, AVMEDIA_TYPE_VIDEO), c.packets, c.size, UNITS / 25));
        const ComPtr<IBaseFilter> silent(
            new testing_media::CBlankSampleSource(Compressed(AV_CODEC_ID_AAC, AVMEDIA_TYPE_AUDIO), -1, 16, UNITS / 25));
        ASSERT_TRUE(mux && writer);
        ASSERT_EQ(writer.As<IFileSinkFilter>()->SetFileName(folder.File("out.mp4").c_str(), nullptr), S_OK);
        h.Add(mux.Get(), "mux");
        h.Add(writer.Get(), "writer");
        h.Add(video.Get(), "video");
        h.Add(silent.Get(), "silent audio");
        auto connect = [&h](IPin* from, const ComPtr<IPin>& to) {
            return h.graph->ConnectDirect(from, to.Get(), nullptr);
        };
        ASSERT_EQ(connect(h.Pin(video.Get(), PINDIR_OUTPUT), NamedPin(mux.Get(), "Input 0")), S_OK);
        ASSERT_EQ(connect(h.Pin(silent.Get(), PINDIR_OUTPUT), NamedPin(mux.Get(), "Input 1")), S_OK);
        ASSERT_EQ(connect(NamedPin(mux.Get(), "Output").Get(), NamedPin(writer.Get(), "in")), S_OK);

        ASSERT_EQ(h.RunFree(), S_OK);
        auto events = h.EventsUntilEnd();
        ASSERT_EQ(h.control->Stop(), S_OK);
        for (const auto& event : h.RemainingEvents()) events.push_back(event);
        EXPECT_EQ(events, (std::vector<testing_filters::EventRecord>{{EC_ERRORABORT, MUX_E_PENDING_OVERFLOW}}));
    }
}
