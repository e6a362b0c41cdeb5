// The converters the handlers splice in front of an encoder input, on raw
// media sources feeding a sink that stands in for the encoder.
#include <gtest/gtest.h>

#include <optional>

#include "components/component_ids.h"
#include "components/common/module_config.h"
#include "pipeline/graph_utils.h"
#include "platform/dshow/graph_pins.h"
#include "targets/conversion_filters.h"
#include "tests/platform/dshow/graph_harness.h"
#include "tests/platform/dshow/test_filters.h"
#include "tests/support/raw_media_filters.h"
#include "tests/targets/target_graph.h"

namespace {

using testing_media::CCollectingSink;

// source -> sink, the sink's input being the pin a handler works on.
struct SourceIntoSink {
    explicit SourceIntoSink(IBaseFilter* sourceFilter) : source(sourceFilter), sink(new CCollectingSink)
    {
        target_testing::RegisterEverything();
        EXPECT_EQ(h.AddChain({{source.Get(), "Source"}, {sink.Get(), "Encoder"}}), S_OK);
        sinkIn = testing_filters::OnlyPin(sink.Get(), PINDIR_INPUT);
    }

    CCollectingSink* Sink() const { return static_cast<CCollectingSink*>(sink.Get()); }

    // The committed integer value of the only filter of that class.
    std::optional<uint32_t> ParameterOf(const CLSID& clsid, const GUID& parameter)
    {
        ComPtr<IEnumFilters> filters;
        h.graph->EnumFilters(filters.ReleaseAndGetAddressOf());
        ComPtr<IBaseFilter> filter;
        while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
            CLSID id;
            filter->GetClassID(&id);
            ComPtr<IModuleConfig> config;
            VARIANT value;
            if (id == clsid && SUCCEEDED(filter.As(&config)) && SUCCEEDED(config->GetValue(&parameter, &value)))
                return value.ulVal;
        }
        return std::nullopt;
    }

    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> sink;
    ComPtr<IPin> sinkIn;
};

IBaseFilter* VideoSource(int width, int height, AVRational displayAspect = {0, 1})
{
    return new testing_media::CRawVideoSource({AV_PIX_FMT_YUV420P, width, height, UNITS / 25, displayAspect}, 5);
}

TEST(ConversionFiltersTest, ResizeModesDecideTheEncoderFrameSizeFromTheDisplaySize)
{
    constexpr AVRational kSquare{0, 1}, kWide{16, 9}, kStandard{4, 3};
    struct Row {
        const char* name;
        int sourceWidth, sourceHeight;
        AVRational aspect;
        int mode, width, height;
        HRESULT result;
        bool scaler;
        int outWidth, outHeight;
    };
    const Row rows[] = {
        {"mode 0 keeps", 320, 240, kSquare, 0, 160, 120, S_OK, false, 320, 240},
        {"mode 1 scales exactly", 320, 240, kSquare, 1, 160, 120, S_OK, true, 160, 120},
        {"mode 1 also enlarges", 320, 240, kSquare, 1, 640, 480, S_OK, true, 640, 480},
        {"mode 2 leaves a fitting picture", 320, 240, kSquare, 2, 1024, 576, S_OK, false, 320, 240},
        {"mode 2 keeps the picture's shape", 320, 240, kSquare, 2, 320, 100, S_OK, true, 134, 100},
        {"mode 2 scales down", 320, 240, kSquare, 2, 160, 120, S_OK, true, 160, 120},
        {"mode 1 source size", 320, 240, kSquare, 1, 0, 0, S_OK, false, 320, 240},
        {"mode 2 source size", 320, 240, kSquare, 2, 0, 120, S_OK, false, 320, 240},
        {"unknown mode", 320, 240, kSquare, 3, 160, 120, E_FAIL, false, 320, 240},
        {"wide PAL kept square", 720, 576, kWide, 0, 0, 0, S_OK, true, 1024, 576},
        {"wide PAL at the source size", 720, 576, kWide, 1, 0, 0, S_OK, true, 1024, 576},
        {"wide PAL fills the netbook frame", 720, 576, kWide, 2, 1024, 576, S_OK, true, 1024, 576},
        {"standard PAL fits the netbook frame", 720, 576, kStandard, 2, 1024, 576, S_OK, true, 768, 576},
        {"wide NTSC fits unscaled but square", 720, 480, kWide, 2, 1024, 576, S_OK, true, 854, 480},
        {"standard NTSC fits unscaled but square", 720, 480, kStandard, 2, 1024, 576, S_OK, true, 640, 480},
        {"HDV scales down to the netbook frame", 1440, 1080, kWide, 2, 1024, 576, S_OK, true, 1024, 576},
        {"portrait fits the netbook frame", 720, 1280, kSquare, 2, 1024, 576, S_OK, true, 324, 576},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SourceIntoSink graph(VideoSource(row.sourceWidth, row.sourceHeight, row.aspect));
        TargetVideoSettings video;
        video.resizeMode = row.mode;
        video.width = row.width;
        video.height = row.height;
        EXPECT_EQ(AddResizeFilter(graph.sinkIn.Get(), graph.h.graph.Get(), video), row.result);
        EXPECT_EQ(graph.ParameterOf(CLSID_Scaler, component_params::ScalerWidth).has_value(), row.scaler);
        const auto format = ReadRawVideoType(graph.Sink()->ConnectedType());
        ASSERT_TRUE(format);
        EXPECT_EQ(format->width, row.outWidth);
        EXPECT_EQ(format->height, row.outHeight);
        if (row.scaler) {
            EXPECT_EQ(graph.ParameterOf(CLSID_Scaler, component_params::ScalerKeepAspect), 1u);
            EXPECT_EQ(graph.ParameterOf(CLSID_Scaler, component_params::ScalerFullHd), 0u);
        }
    }
}

TEST(ConversionFiltersTest, ExactFullHdTargetAsksTheScalerForIt)
{
    SourceIntoSink graph(VideoSource(64, 48));
    TargetVideoSettings video;
    video.resizeMode = 1;
    video.width = 1920;
    video.height = 1080;
    ASSERT_EQ(AddResizeFilter(graph.sinkIn.Get(), graph.h.graph.Get(), video), S_OK);
    EXPECT_EQ(graph.ParameterOf(CLSID_Scaler, component_params::ScalerFullHd), 1u);
}

TEST(ConversionFiltersTest, FittingNeedsAVideoHeaderOnTheConnection)
{
    target_testing::RegisterEverything();
    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> source(new testing_filters::CNumberedSource);
    ComPtr<IBaseFilter> sink(new testing_filters::CTestSink);
    ASSERT_EQ(h.AddChain({{source.Get(), "Source"}, {sink.Get(), "Encoder"}}), S_OK);
    const ComPtr<IPin> sinkIn = testing_filters::OnlyPin(sink.Get(), PINDIR_INPUT);
    TargetVideoSettings video;
    video.width = 160;
    video.height = 120;
    video.resizeMode = 2;
    EXPECT_EQ(AddResizeFilter(sinkIn.Get(), h.graph.Get(), video), E_FAIL);
    video.resizeMode = 0;
    EXPECT_EQ(AddResizeFilter(sinkIn.Get(), h.graph.Get(), video), S_OK);
    EXPECT_TRUE(IsPinConnected(sinkIn.Get()));
}

TEST(ConversionFiltersTest, FrameRateConverterGetsTheRateAsA32BitPattern)
{
    for (int rate : {0, 2500, -2997}) {
        SCOPED_TRACE(rate);
        SourceIntoSink graph(VideoSource(64, 48));
        TargetVideoSettings video;
        video.frameRate = rate;
        EXPECT_EQ(AddFrameRateFilter(graph.h.graph.Get(), graph.sinkIn.Get(), video), S_OK);
        const auto sent = graph.ParameterOf(CLSID_FrameRateConverter, component_params::FrameRate);
        if (rate == 0)
            EXPECT_FALSE(sent);
        else
            EXPECT_EQ(sent, static_cast<uint32_t>(rate));
    }
}

TEST(ConversionFiltersTest, SampleRateConverterChangesTheRateTheWriterGets)
{
    for (int rate : {0, 44100}) {
        SCOPED_TRACE(rate);
        SourceIntoSink graph(new testing_media::CRawAudioSource({AV_SAMPLE_FMT_S16, 48000, 2}, 0.1));
        TargetAudioSettings audio;
        audio.sampleRate = rate;
        EXPECT_EQ(AddResampleFilter(graph.h.graph.Get(), graph.sinkIn.Get(), audio), S_OK);
        const auto format = ReadRawAudioType(graph.Sink()->ConnectedType());
        ASSERT_TRUE(format);
        EXPECT_EQ(format->sampleRate, rate == 0 ? 48000 : rate);
        EXPECT_EQ(graph.ParameterOf(CLSID_SampleRateConverter, component_params::SampleRate).has_value(), rate != 0);
    }
}

}  // namespace
