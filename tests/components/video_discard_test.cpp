// The video discard filter: a sink that takes video and writes nothing.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "components/convert/video_discard.h"
#include "tests/components/converter_chain.h"

using namespace converter_testing;
using testing_media::CRawAudioSource;
using testing_media::CRawVideoSource;

namespace {

const RawVideoFormat kVideo{AV_PIX_FMT_YUV420P, 32, 24, UNITS / 25};
const RawAudioFormat kAudio{AV_SAMPLE_FMT_S16, 8000, 1};

}  // namespace

TEST(VideoDiscard, HasOneInputPinNamedIn)
{
    auto discard = MakeComponent(CLSID_VideoDiscard);
    ASSERT_TRUE(discard);
    EXPECT_EQ(PinNameAt(discard.Get(), 0), std::make_pair(std::string("In"), PINDIR_INPUT));
    EXPECT_EQ(PinNameAt(discard.Get(), 1).first, "") << "no output pin";
}

TEST(VideoDiscard, AcceptsWhatItsMediaTypesAllow)
{
    struct Case {
        const char* what;
        bool configure;
        GUID major, sub;
        bool video;
        bool connects;
    } cases[] = {
        {"video by default", false, {}, {}, true, true},
        {"no audio by default", false, {}, {}, false, false},
        {"video after video, any sub type", true, MEDIATYPE_Video, GUID_NULL, true, true},
        {"no audio after video, any sub type", true, MEDIATYPE_Video, GUID_NULL, false, false},
        {"I420 when asked for I420", true, MEDIATYPE_Video, MEDIASUBTYPE_I420, true, true},
        {"no I420 when asked for NV12", true, MEDIATYPE_Video, MEDIASUBTYPE_NV12, true, false},
        {"audio when anything goes", true, GUID_NULL, GUID_NULL, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto discard = MakeComponent(CLSID_VideoDiscard);
        ComPtr<IVideoDiscard> types;
        ASSERT_EQ(QueryInterfaceAs(discard.Get(), types.ReleaseAndGetAddressOf()), S_OK);
        if (c.configure) {
            ASSERT_EQ(types->SetMediaTypes(c.major, c.sub), S_OK);
        }
        ComPtr<IBaseFilter> source(c.video ? static_cast<IBaseFilter*>(new CRawVideoSource(kVideo, 2))
                                           : new CRawAudioSource(kAudio, 0.1));
        testing_filters::GraphHarness h;
        h.Add(source.Get(), "Source");
        h.Add(discard.Get(), "Discard");
        const HRESULT hr = h.graph->ConnectDirect(h.Pin(source.Get(), PINDIR_OUTPUT), h.Pin(discard.Get(), PINDIR_INPUT), nullptr);
        EXPECT_EQ(SUCCEEDED(hr), c.connects) << std::hex << hr;
    }
}

TEST(VideoDiscard, CompletesAsASinkWithoutAClock)
{
    auto discard = MakeComponent(CLSID_VideoDiscard);
    ComPtr<IVideoDiscard> types;
    ASSERT_EQ(QueryInterfaceAs(discard.Get(), types.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(types->SetMediaTypes(MEDIATYPE_Video, GUID_NULL), S_OK);
    ComPtr<IBaseFilter> source(new CRawVideoSource(kVideo, 25));
    testing_filters::GraphHarness h;
    ASSERT_EQ(h.AddChain({{source.Get(), "Source"}, {discard.Get(), "Video Encoder"}}), S_OK);
    ASSERT_EQ(h.RunFree(), S_OK);
    EXPECT_EQ(h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    LONGLONG position = 0;
    EXPECT_EQ(h.seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, UNITS) << "the whole second was taken";
    h.control->Stop();
}
