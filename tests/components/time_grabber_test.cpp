// The Time Grabber: a pass-through that reports the latest sample's time.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "components/convert/time_grabber.h"
#include "platform/dshow/graph_pins.h"
#include "tests/components/converter_chain.h"

using namespace converter_testing;
using testing_media::CRawAudioSource;
using testing_media::CRawVideoSource;

namespace {

ComPtr<ITimeGrabber> TimeOf(IBaseFilter* grabber)
{
    ComPtr<ITimeGrabber> time;
    QueryInterfaceAs(grabber, time.ReleaseAndGetAddressOf());
    return time;
}

}  // namespace

TEST(TimeGrabber, HasItsInputFirstAndItsOutputSecond)
{
    auto grabber = MakeComponent(CLSID_TimeGrabber);
    ASSERT_TRUE(grabber);
    EXPECT_EQ(PinNameAt(grabber.Get(), 0), std::make_pair(std::string("In"), PINDIR_INPUT));
    EXPECT_EQ(PinNameAt(grabber.Get(), 1), std::make_pair(std::string("Out"), PINDIR_OUTPUT));
    EXPECT_EQ(PinNameAt(grabber.Get(), 2).first, "");
}

TEST(TimeGrabber, PassesEveryStreamUnchangedAndReportsTheLastStartTime)
{
    const RawVideoFormat video{AV_PIX_FMT_YUV420P, 32, 24, UNITS / 25};
    const RawAudioFormat audio{AV_SAMPLE_FMT_S16, 8000, 1};
    struct Case {
        const char* what;
        ComPtr<IBaseFilter> source;
        size_t samples;
        REFERENCE_TIME lastStart;
    } cases[] = {
        {"video, 12 frames at 25 fps", ComPtr<IBaseFilter>(new CRawVideoSource(video, 12)), 12, 11 * UNITS / 25},
        // 1.5 s of 8 kHz in buffers of 1024: the last starts at frame 11264.
        {"audio, 1.5 s", ComPtr<IBaseFilter>(new CRawAudioSource(audio, 1.5)), 12, 11264LL * UNITS / 8000},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto grabber = MakeComponent(CLSID_TimeGrabber);
        auto time = TimeOf(grabber.Get());
        ASSERT_TRUE(time) << "the time interface is missing";
        LONGLONG reported = -1;
        ASSERT_EQ(time->GetMediaTime(&reported), S_OK);
        EXPECT_EQ(reported, 0) << "before any sample";

        ConverterChain chain(c.source.Get(), grabber.Get());
        ASSERT_EQ(chain.Connect(), S_OK);
        EXPECT_TRUE(chain.sink->ConnectedType() == MediaTypesOf(chain.h.Pin(c.source.Get(), PINDIR_OUTPUT)).front())
            << "the type passes unchanged";
        ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});

        const auto samples = chain.Samples();
        ASSERT_EQ(samples.size(), c.samples);
        ASSERT_TRUE(samples.back().start);
        EXPECT_EQ(*samples.back().start, c.lastStart);
        ASSERT_EQ(time->GetMediaTime(&reported), S_OK);
        EXPECT_EQ(reported, c.lastStart);
    }
}
