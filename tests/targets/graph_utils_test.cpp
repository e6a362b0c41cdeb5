// Finding pins, splicing filters and configuring components, on the
// demultiplexer of a real file and on real components.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "components/common/module_config.h"
#include "pipeline/graph_utils.h"
#include "platform/dshow/graph_pins.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tests/targets/target_graph.h"
#include "targets/target_filters.h"

namespace {

class GraphUtilsTest : public testing::Test {
protected:
    void SetUp() override { target_testing::RegisterEverything(); }

    // A demultiplexer on a file with video, then two sound tracks.
    ComPtr<IBaseFilter> DemultiplexedClip()
    {
        const std::string path = folder.File("clip.mkv");
        EXPECT_TRUE(testing_media::MakeMedia(path,
                                             "-f lavfi -i testsrc=size=64x48:rate=10 -f lavfi -i sine=sample_rate=8000 "
                                             "-f lavfi -i sine=frequency=880:sample_rate=8000 -map 0 -map 1 -map 2 "
                                             "-t 0.3 -c:v mpeg4 -c:a pcm_s16le"));
        ComPtr<IBaseFilter> demultiplexer;
        EXPECT_EQ(target_testing::AddDemultiplexedFile(h.graph.Get(), path, &demultiplexer), S_OK);
        return demultiplexer;
    }

    static ComPtr<IPin> Found(IBaseFilter* filter, PIN_DIRECTION direction, const GUID& major, int index,
                              HRESULT expected = S_OK)
    {
        ComPtr<IPin> pin;
        EXPECT_EQ(FindPin(filter, direction, major, pin.ReleaseAndGetAddressOf(), index), expected);
        return pin;
    }

    testing_files::TempFolder folder;
    testing_filters::GraphHarness h;
};

TEST_F(GraphUtilsTest, FindPinCountsOnlyPinsOfTheDirectionAndType)
{
    const ComPtr<IBaseFilter> demultiplexer = DemultiplexedClip();
    const auto outputs = PinsOf(demultiplexer.Get(), PINDIR_OUTPUT);
    const auto inputs = PinsOf(demultiplexer.Get(), PINDIR_INPUT);
    ASSERT_EQ(outputs.size(), 3u);
    ASSERT_EQ(inputs.size(), 1u);

    struct Row {
        PIN_DIRECTION direction;
        GUID major;
        int index;
        IPin* expected;  // nullptr: E_FAIL
    };
    const Row rows[] = {
        {PINDIR_OUTPUT, GUID_NULL, 0, outputs[0].Get()},
        {PINDIR_OUTPUT, GUID_NULL, 2, outputs[2].Get()},
        {PINDIR_OUTPUT, GUID_NULL, 3, nullptr},
        {PINDIR_OUTPUT, MEDIATYPE_Video, 0, outputs[0].Get()},
        {PINDIR_OUTPUT, MEDIATYPE_Video, 1, nullptr},
        {PINDIR_OUTPUT, MEDIATYPE_Audio, 0, outputs[1].Get()},
        {PINDIR_OUTPUT, MEDIATYPE_Audio, 1, outputs[2].Get()},  // skips the video pin
        {PINDIR_OUTPUT, MEDIATYPE_Audio, 2, nullptr},
        {PINDIR_OUTPUT, MEDIATYPE_Stream, 0, nullptr},
        {PINDIR_INPUT, GUID_NULL, 0, inputs[0].Get()},  // connected, still found
        {PINDIR_INPUT, GUID_NULL, 1, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.direction == PINDIR_INPUT ? "input " : "output ") + FormatGuid(row.major) +
                     " #" + std::to_string(row.index));
        const ComPtr<IPin> pin =
            Found(demultiplexer.Get(), row.direction, row.major, row.index, row.expected ? S_OK : E_FAIL);
        EXPECT_EQ(pin.Get(), row.expected);
    }

    ComPtr<IPin> first;
    ASSERT_EQ(FindPinByDirection(demultiplexer.Get(), PINDIR_OUTPUT, first.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(first.Get(), outputs[0].Get());
}

TEST_F(GraphUtilsTest, PinHasMediaTypeMatchesMajorAndOptionalSubType)
{
    const ComPtr<IBaseFilter> demultiplexer = DemultiplexedClip();
    const ComPtr<IPin> video = Found(demultiplexer.Get(), PINDIR_OUTPUT, MEDIATYPE_Video, 0);
    ASSERT_TRUE(video);
    const std::vector<CMediaType> offered = MediaTypesOf(video.Get());
    ASSERT_FALSE(offered.empty());
    const GUID otherSub = MakeGuid("{12345678-0000-0010-8000-00AA00389B71}");
    EXPECT_EQ(PinHasMediaType(video.Get(), MEDIATYPE_Video, GUID_NULL), S_OK);
    EXPECT_EQ(PinHasMediaType(video.Get(), MEDIATYPE_Video, offered[0].subtype), S_OK);
    EXPECT_EQ(PinHasMediaType(video.Get(), MEDIATYPE_Video, otherSub), S_FALSE);
    EXPECT_EQ(PinHasMediaType(video.Get(), MEDIATYPE_Audio, GUID_NULL), S_FALSE);
    EXPECT_EQ(PinHasMediaType(nullptr, GUID_NULL, otherSub), S_OK);  // any type, without asking
}

TEST_F(GraphUtilsTest, FindPinByNameUsesTheFiltersPinNames)
{
    ComPtr<IBaseFilter> multiplexer;
    ASSERT_EQ(CreateTargetFilter(CLSID_Mp4Multiplexer, &multiplexer), S_OK);
    ComPtr<IPin> pin;
    ASSERT_EQ(FindPinByName(multiplexer.Get(), "Input 1", pin.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(pin.Get(), PinsOf(multiplexer.Get(), PINDIR_INPUT).at(1).Get());
    EXPECT_TRUE(FAILED(FindPinByName(multiplexer.Get(), "Input 2", pin.ReleaseAndGetAddressOf())));
}

TEST_F(GraphUtilsTest, InsertFilterBeforeSplicesBetweenAPinAndItsPeer)
{
    const ComPtr<IBaseFilter> demultiplexer = DemultiplexedClip();
    ComPtr<IBaseFilter> discard, grabber;
    ASSERT_EQ(CreateTargetFilter(CLSID_VideoDiscard, &discard), S_OK);
    ASSERT_EQ(CreateTargetFilter(CLSID_TimeGrabber, &grabber), S_OK);
    ASSERT_EQ(h.graph->AddFilter(discard.Get(), "Video Encoder"), S_OK);
    const ComPtr<IPin> video = Found(demultiplexer.Get(), PINDIR_OUTPUT, MEDIATYPE_Video, 0);
    const ComPtr<IPin> discardIn = testing_filters::OnlyPin(discard.Get(), PINDIR_INPUT);
    ASSERT_EQ(h.graph->Connect(video.Get(), discardIn.Get()), S_OK);

    ASSERT_EQ(InsertFilterBefore(grabber.Get(), h.graph.Get(), discardIn.Get()), S_OK);
    ComPtr<IPin> peer;
    ASSERT_EQ(discardIn->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(FilterOf(peer.Get()).Get(), grabber.Get());
    ASSERT_EQ(h.RunFree(), S_OK);
    EXPECT_EQ(h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    h.control->Stop();

    // An unconnected pin has no peer to splice after; nothing is added.
    ComPtr<IBaseFilter> second;
    ASSERT_EQ(CreateTargetFilter(CLSID_TimeGrabber, &second), S_OK);
    const ComPtr<IPin> audio = Found(demultiplexer.Get(), PINDIR_OUTPUT, MEDIATYPE_Audio, 0);
    const size_t filters = target_testing::FilterClasses(h.graph.Get()).size();
    EXPECT_TRUE(FAILED(InsertFilterBefore(second.Get(), h.graph.Get(), audio.Get())));
    EXPECT_EQ(target_testing::FilterClasses(h.graph.Get()).size(), filters);

    // A filter that cannot take the stream: the link it broke is back, the filter gone.
    ComPtr<IBaseFilter> audioOnly;
    ASSERT_EQ(CreateTargetFilter(CLSID_SampleRateConverter, &audioOnly), S_OK);
    EXPECT_TRUE(FAILED(InsertFilterBefore(audioOnly.Get(), h.graph.Get(), discardIn.Get())));
    EXPECT_EQ(target_testing::FilterClasses(h.graph.Get()).size(), filters);
    ASSERT_EQ(discardIn->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(FilterOf(peer.Get()).Get(), grabber.Get());
    ASSERT_EQ(h.RunFree(), S_OK);
    EXPECT_EQ(h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    h.control->Stop();
}

uint32_t Committed(IBaseFilter* filter, const GUID& parameter)
{
    ComPtr<IModuleConfig> config;
    VARIANT value{};
    EXPECT_EQ(filter->QueryInterface(IModuleConfig::iid, config.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(config->GetValue(&parameter, &value), S_OK);
    return value.ulVal;
}

TEST_F(GraphUtilsTest, ConfigureModuleSendsThirtyTwoBitValuesAndCommits)
{
    ComPtr<IBaseFilter> scaler;
    ASSERT_EQ(CreateTargetFilter(CLSID_Scaler, &scaler), S_OK);
    using namespace component_params;
    ASSERT_EQ(ConfigureModule(scaler.Get(), {{ScalerWidth, VT_UI4, 640}, {ScalerHeight, VT_I4, 360}}), S_OK);
    EXPECT_EQ(Committed(scaler.Get(), ScalerWidth), 640u);
    EXPECT_EQ(Committed(scaler.Get(), ScalerHeight), 360u);

    // Resetting first brings back the defaults of what is not set again.
    ASSERT_EQ(ConfigureModule(scaler.Get(), {{ScalerWidth, VT_UI4, 320}}, true), S_OK);
    EXPECT_EQ(Committed(scaler.Get(), ScalerWidth), 320u);
    EXPECT_EQ(Committed(scaler.Get(), ScalerHeight), 0u);

    ComPtr<IBaseFilter> converter;
    ASSERT_EQ(CreateTargetFilter(CLSID_FrameRateConverter, &converter), S_OK);
    ASSERT_EQ(ConfigureModule(converter.Get(), {{FrameRate, VT_UI4, -2997}}), S_OK);
    EXPECT_EQ(Committed(converter.Get(), FrameRate), 0xFFFFF44Bu);
}

TEST_F(GraphUtilsTest, ConfigureModuleSendsRealValuesAsDoubles)
{
    ComPtr<IBaseFilter> decoder;
    ASSERT_EQ(CreateTargetFilter(CLSID_H264Decoder, &decoder), S_OK);
    using namespace component_params;
    ASSERT_EQ(ConfigureModule(decoder.Get(), {{DecoderInputFrameRate, VT_R8, 29.97}}), S_OK);
    ComPtr<IModuleConfig> config;
    ASSERT_EQ(decoder->QueryInterface(IModuleConfig::iid, config.ReleaseAndGetVoidAddress()), S_OK);
    VARIANT value{};
    ASSERT_EQ(config->GetValue(&DecoderInputFrameRate, &value), S_OK);
    EXPECT_EQ(value.vt, VT_R8);
    EXPECT_DOUBLE_EQ(value.dblVal, 29.97);
}

TEST_F(GraphUtilsTest, ConfigureModuleStopsAtTheFirstRefusalAndNeedsTheInterface)
{
    ComPtr<IBaseFilter> scaler;
    ASSERT_EQ(CreateTargetFilter(CLSID_Scaler, &scaler), S_OK);
    using namespace component_params;
    const HRESULT refused = ConfigureModule(scaler.Get(), {{ScalerWidth, VT_UI4, 100}, {FrameRate, VT_UI4, 2500}});
    EXPECT_TRUE(FAILED(refused));
    EXPECT_EQ(Committed(scaler.Get(), ScalerWidth), 0u) << "nothing was committed";

    ComPtr<IBaseFilter> writer;
    ASSERT_EQ(CreateTargetFilter(CLSID_FileWriter, &writer), S_OK);
    EXPECT_EQ(ConfigureModule(writer.Get(), {{ScalerWidth, VT_UI4, 100}}), E_FAIL);
}

}  // namespace
