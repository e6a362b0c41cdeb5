// Which decoder intelligent connect picks, the pins and parameters the
// program relies on, the DVD-style direct connections, and the converters
// that let any decoder reach an encoder's I420 or 16-bit input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "components/common/module_config.h"
#include "components/component_ids.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/plugin_control.h"
#include "tests/components/demux_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/raw_media_filters.h"
#include "tests/support/temp_folder.h"

using namespace demux_testing;
using testing_files::TempFolder;

namespace {

constexpr const char* kClip = "-f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine=sample_rate=48000 -t 1 ";

ComPtr<IBaseFilter> Make(REFCLSID clsid)
{
    ComPtr<IBaseFilter> filter;
    CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(filter.ReleaseAndGetAddressOf()));
    return filter;
}

std::vector<std::string> PinIds(IBaseFilter* filter)
{
    std::vector<std::string> ids;
    for (const auto& pin : PinsOf(filter)) ids.push_back(PinId(pin.Get()));
    return ids;
}

struct PreferenceReset {
    ~PreferenceReset() { PluginPreferences::Instance().Clear(); }
};

class DecoderChoice : public testing::Test {
protected:
    void SetUp() override { RegisterEverything(); }
    TempFolder m_folder;
};

TEST_F(DecoderChoice, APreferredDecoderIsPickedBeforeTheRegisteredOne)
{
    const std::string path = m_folder.File("clip.mp4");
    ASSERT_TRUE(testing_media::MakeMedia(path, std::string(kClip) + "-map 0 -c:v libx264"));
    PreferenceReset reset;
    for (const CLSID& preferred : {CLSID_H264Decoder, CLSID_OtherVideoDecoder}) {
        ComPtr<IAMPluginControl> control;
        ASSERT_EQ(CoCreateInstance(CLSID_DirectShowPluginControl, nullptr, CLSCTX_ALL,
                                   IID_PPV_ARGS(control.ReleaseAndGetAddressOf())),
                  S_OK);
        ASSERT_EQ(control->SetPreferredClsid(MEDIASUBTYPE_H264, &preferred), S_OK);
        DemuxGraph g(path, CLSID_Demultiplexer);
        ASSERT_EQ(g.ConnectSource(), S_OK);
        ASSERT_EQ(g.ConnectAllToRawSinks(), S_OK);
        EXPECT_EQ(UpstreamClass(g.h.Pin(g.sinks.front(), PINDIR_INPUT)), preferred);
        const auto codes = g.Run();
        EXPECT_EQ(codes.empty() ? 0 : codes.back(), EC_COMPLETE);
        EXPECT_EQ(g.sinks.front()->Samples().size(), 25u);
    }
}

TEST_F(DecoderChoice, APreferredDecoderThatCannotDecodeIsPassedOver)
{
    const std::string path = m_folder.File("clip.mp4");
    ASSERT_TRUE(testing_media::MakeMedia(path, std::string(kClip) + "-map 0 -c:v libx264"));
    PreferenceReset reset;
    PluginPreferences::Instance().SetPreferred(MEDIASUBTYPE_H264, CLSID_Mpeg2Decoder);
    DemuxGraph g(path, CLSID_Demultiplexer);
    ASSERT_EQ(g.ConnectSource(), S_OK);
    ASSERT_EQ(g.ConnectAllToRawSinks(), S_OK);
    EXPECT_EQ(UpstreamClass(g.h.Pin(g.sinks.front(), PINDIR_INPUT)), CLSID_H264Decoder);
}

TEST_F(DecoderChoice, PinsAndParametersTheProgramUses)
{
    EXPECT_EQ(PinIds(Make(CLSID_Mpeg2Decoder).Get()), (std::vector<std::string>{"In", "SubPicture In", "Out"}));
    EXPECT_EQ(PinIds(Make(CLSID_Ac3Decoder).Get()), (std::vector<std::string>{"In", "Out"}));
    EXPECT_EQ(PinIds(Make(CLSID_SecondDemultiplexer).Get()), (std::vector<std::string>{"Input"}));

    // The first video decoder's two parameters, as the program sends them.
    auto decoderConfig = Make(CLSID_H264Decoder).As<IModuleConfig>();
    ASSERT_TRUE(decoderConfig);
    VARIANT mode;
    VariantInit(&mode);
    mode.vt = VT_UI4;
    mode.ulVal = 2;
    VARIANT rate;
    VariantInit(&rate);
    rate.vt = VT_R8;
    rate.dblVal = 25.0;
    EXPECT_EQ(decoderConfig->SetValue(&component_params::DecoderOutputMode, &mode), S_OK);
    EXPECT_EQ(decoderConfig->SetValue(&component_params::DecoderInputFrameRate, &rate), S_OK);
    EXPECT_EQ(decoderConfig->CommitChanges(nullptr), S_OK);

    // The six parameters the DVD source sends the second demultiplexer.
    auto demuxConfig = Make(CLSID_SecondDemultiplexer).As<IModuleConfig>();
    ASSERT_TRUE(demuxConfig);
    using namespace component_params;
    const std::pair<GUID, int32_t> dvd[] = {{DvdDemux1, 1}, {DvdDemux2, 0x1000000}, {DvdDemux3, 0},
                                            {DvdDemux4, 0}, {DvdDemux5, 1},         {DvdDemux6, 1}};
    for (const auto& [parameter, value] : dvd) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = value;
        EXPECT_EQ(demuxConfig->SetValue(&parameter, &v), S_OK);
    }
    EXPECT_EQ(demuxConfig->CommitChanges(nullptr), S_OK);
}

// What the DVD source does with a title: the demultiplexer's "Video" pin
// straight into the MPEG-2 decoder's "In", its AC-3 pin into the AC-3 decoder.
TEST_F(DecoderChoice, ProgramStreamPinsConnectDirectlyToTheirDecoders)
{
    const std::string path = m_folder.File("title.vob");
    ASSERT_TRUE(testing_media::MakeMedia(path, std::string(kClip) + "-c:v mpeg2video -c:a ac3 -f vob"));
    DemuxGraph g(path, CLSID_SecondDemultiplexer);
    ASSERT_EQ(g.ConnectSource(), S_OK);
    const auto outputs = g.Outputs();
    ASSERT_EQ(outputs.size(), 2u);
    ASSERT_EQ(PinId(outputs[0].Get()).rfind("Video", 0), 0u);
    bool offersAc3 = false;
    for (const auto& type : MediaTypesOf(outputs[1].Get())) offersAc3 |= type.subtype == MEDIASUBTYPE_DOLBY_AC3;
    EXPECT_TRUE(offersAc3);

    auto video = Make(CLSID_Mpeg2Decoder);
    auto audio = Make(CLSID_Ac3Decoder);
    g.h.Add(video.Get(), "Video Decoder");
    g.h.Add(audio.Get(), "Audio Decoder");
    IPin* videoIn = nullptr;
    IPin* audioIn = nullptr;
    ASSERT_EQ(video->FindPin("In", &videoIn), S_OK);
    ASSERT_EQ(audio->FindPin("In", &audioIn), S_OK);
    ComPtr<IPin> videoInRef(videoIn), audioInRef(audioIn);
    videoIn->Release();
    audioIn->Release();
    ASSERT_EQ(g.h.graph->ConnectDirect(outputs[0].Get(), videoIn, nullptr), S_OK);
    ASSERT_EQ(g.h.graph->ConnectDirect(outputs[1].Get(), audioIn, nullptr), S_OK);

    std::vector<ComPtr<IBaseFilter>> sinks;
    for (IBaseFilter* decoder : {video.Get(), audio.Get()}) {
        auto* sink = new CRawSink();
        sinks.emplace_back(sink);
        g.sinks.push_back(sink);
        g.h.Add(sink, "Sink");
        IPin* out = nullptr;
        ASSERT_EQ(decoder->FindPin("Out", &out), S_OK);
        ComPtr<IPin> outRef(out);
        out->Release();
        ASSERT_EQ(g.h.graph->ConnectDirect(out, g.h.Pin(sink, PINDIR_INPUT), nullptr), S_OK);
    }
    const auto codes = g.Run();
    EXPECT_EQ(codes.empty() ? 0 : codes.back(), EC_COMPLETE);
    EXPECT_NEAR(static_cast<double>(g.sinks[0]->Samples().size()), 25.0, 1.0);
    EXPECT_FALSE(g.sinks[1]->Samples().empty());
}

// A sink of one raw sub type only, like an encoder's input.
class COneSubtypeSink final : public CBaseRenderer {
public:
    explicit COneSubtypeSink(const GUID& subtype) : CBaseRenderer("one sub type sink", CLSID_RawSink), m_subtype(subtype) {}
    HRESULT CheckMediaType(const CMediaType* type) override { return type->subtype == m_subtype ? S_OK : S_FALSE; }
    HRESULT DoRenderSample(IMediaSample* sample) override
    {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::lock_guard lock(m_lock);
        m_bytes.append(reinterpret_cast<const char*>(data), static_cast<size_t>(sample->GetActualDataLength()));
        return S_OK;
    }
    std::string Bytes()
    {
        std::lock_guard lock(m_lock);
        return m_bytes;
    }

private:
    const GUID m_subtype;
    std::mutex m_lock;
    std::string m_bytes;
};

TEST_F(DecoderChoice, MotionJpegReachesAnI420InputThroughTheColourSpaceConverter)
{
    // MJPEG decodes to full-range 4:2:2, which no encoder takes.
    const std::string path = m_folder.File("clip.avi");
    ASSERT_TRUE(testing_media::MakeMedia(path, std::string(kClip) + "-map 0 -c:v mjpeg -pix_fmt yuvj422p"));
    const std::string reference = m_folder.File("reference.yuv");
    ASSERT_TRUE(testing_media::MakeMedia(reference, "-i " + testing_media::Quoted(path) +
                                                        " -pix_fmt yuv420p -f rawvideo"));

    DemuxGraph g(path, CLSID_Demultiplexer);
    ASSERT_EQ(g.ConnectSource(), S_OK);
    auto* sink = new COneSubtypeSink(MEDIASUBTYPE_I420);
    ComPtr<IBaseFilter> sinkRef(sink);
    g.h.Add(sink, "Sink");
    ASSERT_EQ(g.h.graph->Connect(g.Outputs().front().Get(), g.h.Pin(sink, PINDIR_INPUT)), S_OK);
    EXPECT_EQ(UpstreamClass(g.h.Pin(sink, PINDIR_INPUT)), CLSID_ColourSpaceConverter);
    const auto codes = g.Run();
    EXPECT_EQ(codes.empty() ? 0 : codes.back(), EC_COMPLETE);

    // ffmpeg's own conversion of the same file, pixel for pixel within rounding.
    const std::string expected = testing_files::ReadFileBytes(reference);
    const std::string converted = sink->Bytes();
    ASSERT_EQ(converted.size(), expected.size());
    long difference = 0;
    for (size_t i = 0; i < converted.size(); ++i)
        difference += std::abs(static_cast<uint8_t>(converted[i]) - static_cast<uint8_t>(expected[i]));
    EXPECT_LT(static_cast<double>(difference) / static_cast<double>(converted.size()), 2.0);
}

TEST_F(DecoderChoice, FloatAudioReachesASixteenBitInputThroughTheAudioFormatConverter)
{
    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> source(new testing_media::CRawAudioSource({AV_SAMPLE_FMT_FLT, 48000, 2}, 1.0));
    auto* sink = new COneSubtypeSink(MEDIASUBTYPE_PCM);
    ComPtr<IBaseFilter> sinkRef(sink);
    ASSERT_EQ(h.AddChain({{source.Get(), "Source"}, {sink, "Sink"}}), S_OK);
    EXPECT_EQ(UpstreamClass(h.Pin(sink, PINDIR_INPUT)), CLSID_AudioFormatConverter);
    ASSERT_EQ(h.RunFree(), S_OK);
    const auto codes = h.EventCodesUntilEnd();
    h.control->Stop();
    EXPECT_EQ(codes.empty() ? 0 : codes.back(), EC_COMPLETE);

    // The source's tone, 0.5 sin(2 pi 440 t), in 16 bits on both channels.
    const std::string bytes = sink->Bytes();
    ASSERT_EQ(bytes.size(), 48000u * 2 * sizeof(int16_t));
    for (size_t frame = 0; frame < 48000; frame += 997) {
        int16_t left, right;
        std::memcpy(&left, bytes.data() + frame * 4, 2);
        std::memcpy(&right, bytes.data() + frame * 4 + 2, 2);
        const double expected = 0.5 * std::sin(2 * M_PI * 440.0 * static_cast<double>(frame) / 48000) * 32767;
        EXPECT_NEAR(left, expected, 2.0) << frame;
        EXPECT_EQ(left, right);
    }
}

}  // namespace
