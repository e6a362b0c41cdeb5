// The AAC encoder: its rate table, what it takes, and the timing and rate
// of what it writes.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "components/encode/audio_encoder.h"
#include "components/register_components.h"
#include "tests/components/mp4_output_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/raw_media_filters.h"
#include "tests/support/temp_folder.h"

using namespace mp4_testing;
using testing_files::TempFolder;
using testing_media::Probe;

namespace {

Probe EncodeAudio(const TempFolder& folder, const AudioPart& audio)
{
    const std::string path = folder.File("audio.m4a");
    Mp4Graph graph(path, std::nullopt, audio);
    EXPECT_EQ(graph.built, S_OK);
    const auto events = graph.Run();
    EXPECT_TRUE(!events.empty() && events.back().first == EC_COMPLETE);
    return Probe(path);
}

}  // namespace

TEST(AacEncoder, IndexesTheRateTableWithinWhatAacCarries)
{
    struct Case {
        int index, channels, sampleRate, expected;
    } cases[] = {
        {0, 2, 44100, 6'000},
        {17, 2, 44100, 112'000},
        {18, 2, 44100, 128'000},
        {26, 2, 44100, 512'000},
        {27, 2, 44100, 512'000},   // past the table: the largest
        {27, 1, 44100, 256'000},   // mono 44.1 kHz carries at most 264.6 kbit/s
        {20, 1, 8000, 48'000},     // 8 kHz mono: at most 48 kbit/s
        {27, 6, 48000, 512'000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AacBitRateForIndex(c.index, c.channels, c.sampleRate), c.expected)
            << c.index << " " << c.channels << " " << c.sampleRate;
}

TEST(AacEncoder, TakesInterleavedAudioAtAacRates)
{
    RegisterComponents();
    const ComPtr<IBaseFilter> filter = Create(CLSID_AacEncoder);
    const ComPtr<IPin> input = NamedPin(filter.Get(), "In");
    ASSERT_TRUE(input);
    ASSERT_TRUE(NamedPin(filter.Get(), "Out"));
    struct Case {
        const char* what;
        CMediaType type;
        bool accepted;
    } cases[] = {
        {"44.1 kHz stereo 16 bit", RawAudioType(AudioFormat(44100, 2, AV_SAMPLE_FMT_S16)), true},
        {"48 kHz mono float", RawAudioType(AudioFormat(48000, 1, AV_SAMPLE_FMT_FLT)), true},
        {"22.05 kHz 5.1", RawAudioType(AudioFormat(22050, 6, AV_SAMPLE_FMT_S16)), true},
        {"5 kHz, no AAC rate", RawAudioType(AudioFormat(5000, 2, AV_SAMPLE_FMT_S16)), false},
        {"nine channels", RawAudioType(AudioFormat(44100, 9, AV_SAMPLE_FMT_S16)), false},
        {"video", RawVideoType(VideoFormat(320, 240)), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(input->QueryAccept(&c.type) == S_OK, c.accepted);
    }
}

TEST(AacEncoder, WritesTheIndexedRateAndTheInputsDuration)
{
    // FFmpeg's AAC encoder spends no more than a tone needs (about 210 kbit/s
    // in stereo), so the largest rates show only as more than the default.
    struct Case {
        const char* what;
        AudioPart audio;
        double minimum, maximum;
    } cases[] = {
        {"index 18, stereo S16", {AudioFormat(44100, 2), 1.5, 18}, 0.8 * 128'000, 1.2 * 128'000},
        {"index 14, mono float", {AudioFormat(48000, 1, AV_SAMPLE_FMT_FLT), 1.3, 14}, 0.8 * 64'000, 1.2 * 64'000},
        {"index 27, stereo", {AudioFormat(44100, 2), 1.5, 27}, 1.4 * 128'000, 1.2 * 512'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const Probe probe = EncodeAudio(folder, c.audio);
        ASSERT_EQ(probe.StreamCount(), 1);
        EXPECT_EQ(probe.Stream(0, "codec_name"), "aac");
        EXPECT_EQ(probe.Stream(0, "channels"), std::to_string(c.audio.format.channels));
        EXPECT_GE(probe.Number("streams.stream.0.bit_rate"), c.minimum);
        EXPECT_LE(probe.Number("streams.stream.0.bit_rate"), c.maximum);
        // Exact to the AAC frame: priming and padding are accounted for.
        EXPECT_NEAR(probe.Number("streams.stream.0.duration"), c.audio.seconds, 1024.0 / c.audio.format.sampleRate);
    }
}

TEST(AacEncoder, OutputTypeCarriesTheRateAndTheDecoderConfiguration)
{
    struct Case {
        RawAudioFormat format;
        int index;
        int64_t bitRate;
    } cases[] = {
        {AudioFormat(44100, 2), 18, 128'000},
        {AudioFormat(44100, 2), 27, 512'000},
        {AudioFormat(44100, 1), 27, 256'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        testing_filters::GraphHarness h;
        RegisterComponents();
        const ComPtr<IBaseFilter> source(new testing_media::CRawAudioSource(c.format, 0.1));
        const ComPtr<IBaseFilter> encoder = Create(CLSID_AacEncoder);
        const ComPtr<IBaseFilter> sink(new testing_media::CCollectingSink());
        h.Add(source.Get(), "source");
        h.Add(encoder.Get(), "encoder");
        h.Add(sink.Get(), "sink");
        ASSERT_EQ(h.graph->ConnectDirect(h.Pin(source.Get(), PINDIR_OUTPUT), NamedPin(encoder.Get(), "In").Get(), nullptr), S_OK);
        ASSERT_EQ(Configure(encoder.Get(), {{component_params::BitRate, c.index}}), S_OK);
        ASSERT_EQ(h.graph->ConnectDirect(NamedPin(encoder.Get(), "Out").Get(), h.Pin(sink.Get(), PINDIR_INPUT), nullptr), S_OK);

        AM_MEDIA_TYPE type{};
        ASSERT_EQ(h.Pin(sink.Get(), PINDIR_INPUT)->ConnectionMediaType(&type), S_OK);
        const CMediaType connected(type);
        FreeMediaType(type);
        AvCodecParametersPtr parameters(avcodec_parameters_alloc());
        ASSERT_EQ(ReadCompressedType(connected, parameters.get()), S_OK);
        EXPECT_EQ(parameters->codec_id, AV_CODEC_ID_AAC);
        EXPECT_EQ(parameters->bit_rate, c.bitRate);
        // The AudioSpecificConfig: AAC-LC (object type 2).
        ASSERT_GE(parameters->extradata_size, 2);
        EXPECT_EQ(parameters->extradata[0] >> 3, 2);
    }
}
