// A whole conversion graph of components, as a task builds one, so that it
// also runs in the ThreadSanitizer stage: File Source (Async.) ->
// demultiplexer -> decoders (by intelligent connect) -> scaler and
// sample-rate converter -> H.264 and AAC encoders -> MP4 multiplexer -> File
// Writer. ffprobe judges the file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "components/component_ids.h"
#include "components/component_interfaces.h"
#include "tests/components/demux_graph.h"
#include "tests/components/mp4_output_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace component_params;
using mp4_testing::Configure;
using mp4_testing::Create;
using mp4_testing::NamedPin;

namespace {

// Output pin of the demultiplexer with that id ("Video", "Audio").
ComPtr<IPin> DemuxPin(demux_testing::DemuxGraph& g, const char* id)
{
    for (const auto& pin : g.Outputs())
        if (demux_testing::PinId(pin.Get()) == id) return pin;
    return {};
}

// Connects the whole chain from `g`'s demultiplexer to a File Writer that
// writes `output`.
void BuildConversion(demux_testing::DemuxGraph& g, const std::string& output)
{
    ASSERT_EQ(g.ConnectSource(), S_OK);
    const ComPtr<IPin> videoOut = DemuxPin(g, "Video"), audioOut = DemuxPin(g, "Audio");
    ASSERT_TRUE(videoOut && audioOut);

    const auto scaler = Create(CLSID_Scaler), resampler = Create(CLSID_SampleRateConverter);
    const auto videoEncoder = Create(CLSID_AvcEncoder), audioEncoder = Create(CLSID_AacEncoder);
    const auto mux = Create(CLSID_Mp4Multiplexer), writer = Create(CLSID_FileWriter);
    ASSERT_TRUE(scaler && resampler && videoEncoder && audioEncoder && mux && writer);
    for (const auto& [filter, name] : {std::pair{scaler.Get(), "Scaler"}, {resampler.Get(), "Resampler"},
                                       {videoEncoder.Get(), "Video Encoder"}, {audioEncoder.Get(), "Audio Encoder"},
                                       {mux.Get(), "Multiplexer"}})
        g.h.Add(filter, name);
    ASSERT_EQ(Configure(scaler.Get(), {{ScalerKeepAspect, 1}, {ScalerWidth, 320}, {ScalerHeight, 180}}), S_OK);
    ASSERT_EQ(Configure(resampler.Get(), {{SampleRate, 44100}}), S_OK);
    ASSERT_EQ(Configure(videoEncoder.Get(), {{EncoderProfile, 2}, {AvcOption, 1}, {EncoderMode, 0}, {BitRate, 500'000}}),
              S_OK);
    ASSERT_EQ(Configure(audioEncoder.Get(), {{BitRate, 18}}), S_OK);
    ASSERT_EQ(Configure(mux.Get(), {{MuxFirst, 0}, {MuxSecond, 0}}), S_OK);

    // Decoders, and whatever converts between the pictures and sounds, come
    // from intelligent connect.
    ASSERT_EQ(g.h.graph->Connect(videoOut.Get(), NamedPin(scaler.Get(), "In").Get()), S_OK);
    ASSERT_EQ(g.h.graph->Connect(NamedPin(scaler.Get(), "Out").Get(), NamedPin(videoEncoder.Get(), "In").Get()), S_OK);
    ASSERT_EQ(g.h.graph->Connect(audioOut.Get(), NamedPin(resampler.Get(), "In").Get()), S_OK);
    ASSERT_EQ(g.h.graph->Connect(NamedPin(resampler.Get(), "Out").Get(), NamedPin(audioEncoder.Get(), "In").Get()),
              S_OK);
    ASSERT_EQ(g.h.graph->ConnectDirect(NamedPin(videoEncoder.Get(), "Out").Get(), NamedPin(mux.Get(), "Input 0").Get(),
                                       nullptr),
              S_OK);
    ASSERT_EQ(g.h.graph->ConnectDirect(NamedPin(audioEncoder.Get(), "Out").Get(), NamedPin(mux.Get(), "Input 1").Get(),
                                       nullptr),
              S_OK);
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(writer->QueryInterface(IID_PPV_ARGS(sink.ReleaseAndGetAddressOf())), S_OK);
    ASSERT_EQ(sink->SetFileName(output.c_str(), nullptr), S_OK);
    g.h.Add(writer.Get(), "Writer");
    ASSERT_EQ(g.h.graph->ConnectDirect(NamedPin(mux.Get(), "Output").Get(), NamedPin(writer.Get(), "in").Get(), nullptr),
              S_OK);

}

// A clip of `seconds` as a phone or camera might give it: MPEG-4 video at
// 640x360 with MP3 sound at 48 kHz.
std::string MakeClip(const testing_files::TempFolder& folder, int seconds)
{
    const std::string input = folder.File("clip.avi");
    const std::string arguments = "-f lavfi -i testsrc=size=640x360:rate=25 -f lavfi -i sine=sample_rate=48000 -t " +
                                  std::to_string(seconds) + " -c:v mpeg4 -c:a libmp3lame";
    return testing_media::MakeMedia(input, arguments) ? input : std::string();
}

// A clip of the given length, and the whole chain built from it to out.mp4.
class ConversionGraph : public testing::Test {
protected:
    void Build(int seconds)
    {
        demux_testing::RegisterEverything();
        const std::string input = MakeClip(folder, seconds);
        ASSERT_FALSE(input.empty());
        graph = std::make_unique<demux_testing::DemuxGraph>(input, CLSID_Demultiplexer);
        BuildConversion(*graph, output);
    }

    testing_files::TempFolder folder;
    const std::string output = folder.File("out.mp4");
    std::unique_ptr<demux_testing::DemuxGraph> graph;
};

TEST_F(ConversionGraph, FileToMp4ThroughDecodersConvertersAndEncoders)
{
    ASSERT_NO_FATAL_FAILURE(Build(2));
    demux_testing::DemuxGraph& g = *graph;

    ASSERT_EQ(g.h.RunFree(), S_OK);
    const auto events = g.h.EventsUntilEnd();
    EXPECT_EQ(g.h.control->Stop(), S_OK);
    EXPECT_EQ(events, (std::vector<testing_filters::EventRecord>{{EC_COMPLETE, 0}}));

    const testing_media::Probe probe(output);
    const int video = probe.FirstStream("video"), audio = probe.FirstStream("audio");
    ASSERT_GE(video, 0);
    ASSERT_GE(audio, 0);
    EXPECT_EQ(probe.Stream(video, "codec_name"), "h264");
    EXPECT_EQ(probe.Stream(video, "width"), "320");
    EXPECT_EQ(probe.Stream(video, "height"), "180");
    EXPECT_EQ(probe.Stream(video, "nb_frames"), "50");
    EXPECT_EQ(probe.Stream(audio, "codec_name"), "aac");
    EXPECT_EQ(probe.Stream(audio, "sample_rate"), "44100");
    EXPECT_NEAR(probe.Duration(), 2.0, 0.1);
}

// Stopping mid-stream makes every filter's delivery fail on the way down
// (decommitted buffers, stopped pins): none of that is a failure to report,
// and a second run of the same graph hears only its own events.
TEST_F(ConversionGraph, StoppedMidStreamReportsNothingAndRunsAgainToTheEnd)
{
    ASSERT_NO_FATAL_FAILURE(Build(20));
    demux_testing::DemuxGraph& g = *graph;

    for (int stop = 0; stop < 3; ++stop) {
        ASSERT_EQ(g.h.RunFree(), S_OK);
        // Until the file has grown: encoders and multiplexer are busy.
        for (int wait = 0; wait < 1000 && std::filesystem::file_size(output) < 64 * 1024; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_GE(std::filesystem::file_size(output), 64u * 1024) << "the conversion never got going";
        ASSERT_EQ(g.h.control->Stop(), S_OK);
        EXPECT_EQ(g.h.RemainingEvents(), std::vector<testing_filters::EventRecord>{}) << "stop " << stop;
    }
    ASSERT_EQ(g.h.RunFree(), S_OK);
    EXPECT_EQ(g.h.EventsUntilEnd(), (std::vector<testing_filters::EventRecord>{{EC_COMPLETE, 0}}));
    EXPECT_EQ(g.h.control->Stop(), S_OK);
    EXPECT_NEAR(testing_media::Probe(output).Duration(), 20.0, 0.2);
}

}  // namespace
