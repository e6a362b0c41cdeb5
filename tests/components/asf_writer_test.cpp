// WM ASF writer: raw video and audio become a WMV file as the profile says
// (WMV2 at the profile's size and 30 fps, WMA v2 at 44.1 kHz stereo), with
// either input left out; ffprobe and ffmpeg's decoders check the result.
// A run whose audio never starts fails once the waiting video passes its bound.
#include <gtest/gtest.h>

#include <numeric>

#include "components/write/asf_writer.h"
#include "components/write/pending_packets.h"
#include "platform/dshow/graph_pins.h"
#include "tests/components/writer_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/raw_media_filters.h"
#include "tests/support/temp_folder.h"

using namespace testing_media;
using namespace writer_tests;
using testing_files::TempFolder;

namespace {

const RawVideoFormat kWideVideo{AV_PIX_FMT_YUV420P, 640, 360, UNITS / 25};
const RawAudioFormat kMonoAudio{AV_SAMPLE_FMT_S16, 48000, 1};

// An ASF writer with the WMV profile at 320 x 240.
std::unique_ptr<WriterGraph> AsfGraph(const std::string& path)
{
    auto g = std::make_unique<WriterGraph>(CLSID_WMAsfWriter, path);
    if (g->writer) g->UseWmvProfile(320, 240);
    return g;
}

// Mean luma of rows [first, last) of the first decoded frame.
double MeanOfRows(const std::string& frame, int width, int first, int last)
{
    const auto begin = frame.begin() + first * width, end = frame.begin() + last * width;
    return std::accumulate(begin, end, 0.0, [](double sum, char c) { return sum + static_cast<uint8_t>(c); }) /
           double(end - begin);
}

}  // namespace

TEST(AsfWriter, OffersVideoThenAudioInputAndTakesThemOnlyWithAProfile)
{
    TempFolder folder;
    WriterGraph bare(CLSID_WMAsfWriter, folder.File("bare.wmv"));
    ASSERT_TRUE(bare.writer);
    const auto pins = PinsOf(bare.writer.Get(), PINDIR_INPUT);
    ASSERT_EQ(pins.size(), 2u);
    std::vector<std::string> names;
    for (const auto& pin : pins) {
        PIN_INFO info{};
        pin->QueryPinInfo(&info);
        names.emplace_back(info.achName);
        if (info.pFilter) info.pFilter->Release();
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Video Input 01", "Audio Input 01"}));
    EXPECT_TRUE(FAILED(bare.AddVideo(kWideVideo, 5, 0))) << "no profile, no stream to write it to";

    ComPtr<IWMProfile> current;
    EXPECT_EQ(bare.writer.As<IConfigAsfWriter>()->GetCurrentProfile(current.ReleaseAndGetAddressOf()), E_FAIL);
    WriterGraph configured(CLSID_WMAsfWriter, folder.File("configured.wmv"));
    ASSERT_EQ(configured.UseWmvProfile(320, 240), S_OK);
    EXPECT_EQ(configured.writer.As<IConfigAsfWriter>()->GetCurrentProfile(current.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(configured.AddVideo(kWideVideo, 5, 0), S_OK);
    EXPECT_EQ(configured.AddAudio(kMonoAudio, 0.2, 1), S_OK);
}

TEST(AsfWriter, WritesLetterboxedWmv2At30FpsAndWma2)
{
    TempFolder folder;
    const std::string path = folder.File("out.wmv");
    WriterGraph g(CLSID_WMAsfWriter, path);
    ASSERT_EQ(g.UseWmvProfile(320, 240), S_OK);
    ASSERT_EQ(g.AddVideo(kWideVideo, 50, 0), S_OK);
    ASSERT_EQ(g.AddAudio(kMonoAudio, 2.0, 1), S_OK);
    EXPECT_EQ(Codes(g.Run()), std::vector<long>{EC_COMPLETE});

    const Probe probe(path);
    EXPECT_EQ(probe.Get("format.format_name"), "asf");
    const int video = probe.FirstStream("video"), audio = probe.FirstStream("audio");
    ASSERT_GE(video, 0);
    ASSERT_GE(audio, 0);
    EXPECT_EQ(probe.Stream(video, "codec_name"), "wmv2");
    EXPECT_EQ(probe.Stream(video, "width"), "320");
    EXPECT_EQ(probe.Stream(video, "height"), "240");
    EXPECT_EQ(probe.Stream(audio, "codec_name"), "wmav2");
    EXPECT_EQ(probe.Stream(audio, "sample_rate"), "44100");
    EXPECT_EQ(probe.Stream(audio, "channels"), "2");
    EXPECT_NEAR(probe.Duration(), 2.0, 0.15);

    // 25 frames a second became 30: two seconds of them.
    const std::string frames = RunCommand("ffprobe -v error -count_frames -select_streams v -show_entries "
                                          "stream=nb_read_frames -of csv=p=0 " + Quoted(path));
    EXPECT_EQ(std::atoi(frames.c_str()), 60);

    // 16:9 in 4:3: a 320 x 180 picture with 30 black rows above and below.
    const std::string frame =
        RunCommand("ffmpeg -nostdin -v error -i " + Quoted(path) + " -frames:v 1 -f rawvideo -pix_fmt gray -");
    ASSERT_EQ(frame.size(), 320u * 240u);
    EXPECT_LT(MeanOfRows(frame, 320, 0, 28), 20.0);
    EXPECT_LT(MeanOfRows(frame, 320, 212, 240), 20.0);
    EXPECT_GT(MeanOfRows(frame, 320, 34, 206), 60.0) << "the picture itself";
}

TEST(AsfWriter, WritesOnlyTheStreamsThatHaveData)
{
    TempFolder folder;
    struct Case {
        const char* what;
        bool video;
        double audioSeconds;  // < 0: the audio input stays unconnected
        const char* codecs;
    } cases[] = {
        {"video alone", true, -1, "wmv2"},
        {"silent video: the audio ends at once", true, 0.0, "wmv2"},
        {"audio alone", false, 1.0, "wmav2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.File(std::string(c.what) + ".wmv");
        WriterGraph g(CLSID_WMAsfWriter, path);
        ASSERT_EQ(g.UseWmvProfile(320, 240), S_OK);
        if (c.video) {
            ASSERT_EQ(g.AddVideo(kWideVideo, 25, 0), S_OK);
        }
        if (c.audioSeconds >= 0) {
            ASSERT_EQ(g.AddAudio(kMonoAudio, c.audioSeconds, 1), S_OK);
        }
        EXPECT_EQ(Codes(g.Run()), std::vector<long>{EC_COMPLETE});
        const Probe probe(path);
        EXPECT_EQ(probe.StreamCount(), 1);
        EXPECT_EQ(probe.Stream(0, "codec_name"), c.codecs);
        EXPECT_NEAR(probe.Duration(), 1.0, 0.15);
    }
}

TEST(AsfWriter, AnAudioInputThatNeverStartsFailsTheRunOnceTheWaitingVideoPassesItsBound)
{
    // Tiny frames at the profile's 30 fps: one small packet each, so the
    // count bound is the one passed.
    const RawVideoFormat tiny{AV_PIX_FMT_YUV420P, 32, 32, UNITS / 30};
    const int frames = static_cast<int>(CPendingPackets::kMaxCount * 5 / 4);
    TempFolder folder;
    WriterGraph g(CLSID_WMAsfWriter, folder.File("out.wmv"));
    ASSERT_EQ(g.UseWmvProfile(32, 32), S_OK);
    ASSERT_EQ(g.AddVideo(tiny, frames, 0), S_OK);
    const ComPtr<IBaseFilter> silent(new CBlankSampleSource(RawAudioType(kMonoAudio), -1, 9600, UNITS / 10));
    g.h.Add(silent.Get(), "silent audio");
    ASSERT_EQ(g.h.graph->ConnectDirect(g.h.Pin(silent.Get(), PINDIR_OUTPUT), g.h.Pin(g.writer.Get(), PINDIR_INPUT, 1),
                                       nullptr),
              S_OK);

    ASSERT_EQ(g.h.RunFree(), S_OK);
    auto events = g.h.EventsUntilEnd();
    ASSERT_EQ(g.h.control->Stop(), S_OK);
    for (const auto& event : g.h.RemainingEvents()) events.push_back(event);
    EXPECT_EQ(events, (std::vector<testing_filters::EventRecord>{{EC_ERRORABORT, MUX_E_PENDING_OVERFLOW}}));
}

TEST(Writers, AFullDiskAbortsTheRunWithItsCode)
{
    struct Case {
        const char* what;
        CLSID writer;
    } cases[] = {
        {"WAV", CLSID_WavWriter},
        {"MP3", CLSID_LameMp3Writer},
        {"ASF", CLSID_WMAsfWriter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool asf = c.writer == CLSID_WMAsfWriter;
        const auto g = asf ? AsfGraph("/dev/full") : std::make_unique<WriterGraph>(c.writer, "/dev/full");
        ASSERT_TRUE(g->writer);
        ASSERT_EQ(g->AddAudio({AV_SAMPLE_FMT_S16, 44100, 2}, 1.0, asf ? 1 : 0), S_OK);
        ASSERT_EQ(g->h.RunFree(), S_OK);
        const auto events = g->h.EventsUntilEnd();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back(), (testing_filters::EventRecord{EC_ERRORABORT, HRESULT_FROM_WIN32(ERROR_DISK_FULL)}));
        ASSERT_EQ(g->h.control->Stop(), S_OK);
        const auto later = g->h.RemainingEvents();
        auto codes = Codes(events);
        for (long code : Codes(later)) codes.push_back(code);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), EC_ERRORABORT), 1);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), EC_COMPLETE), 0);
    }
}

TEST(Writers, PauseFailsWhenTheFileCannotBeCreated)
{
    TempFolder folder;
    const std::string path = folder.File("missing folder/out");
    for (const CLSID& clsid : {CLSID_WavWriter, CLSID_LameMp3Writer}) {
        WriterGraph g(clsid, path);
        ASSERT_EQ(g.AddAudio({AV_SAMPLE_FMT_S16, 44100, 2}, 0.5), S_OK);
        EXPECT_EQ(g.h.RunFree(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    }
    const auto asf = AsfGraph(path);
    ASSERT_EQ(asf->AddAudio({AV_SAMPLE_FMT_S16, 44100, 2}, 0.5, 1), S_OK);
    EXPECT_EQ(asf->h.RunFree(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}
