// The converters joined as the targets splice them in front of an encoder,
// connected by the graph's intelligent connect.
#include <gtest/gtest.h>

#include <cmath>

#include "components/component_ids.h"
#include "components/convert/time_grabber.h"
#include "tests/components/converter_chain.h"

using namespace converter_testing;
using testing_media::CRawVideoSource;

TEST(ConverterPipeline, ScalesRetimesAndReportsProgressIntoTheDiscardFilter)
{
    auto scaler = MakeComponent(CLSID_Scaler);
    ASSERT_EQ(Configure(scaler.Get(), {{component_params::ScalerKeepAspect, 1},
                                       {component_params::ScalerWidth, 128},
                                       {component_params::ScalerHeight, 72}}),
              S_OK);
    auto converter = MakeComponent(CLSID_FrameRateConverter);
    ASSERT_EQ(Configure(converter.Get(), {{component_params::FrameRate, 0xFFFFF44B}}), S_OK);
    auto grabber = MakeComponent(CLSID_TimeGrabber);
    auto discard = MakeComponent(CLSID_VideoDiscard);
    ComPtr<IBaseFilter> source(new CRawVideoSource({AV_PIX_FMT_YUV420P, 192, 80, UNITS / 25}, 25));

    testing_filters::GraphHarness h;
    ASSERT_EQ(h.AddChain({{source.Get(), "Source"},
                          {scaler.Get(), "Scaler"},
                          {converter.Get(), "Frame Rate"},
                          {grabber.Get(), "Time Grabber"},
                          {discard.Get(), "Video Encoder"}}),
              S_OK);
    EXPECT_EQ(h.FilterNames().size(), 5u) << "nothing else was needed between them";
    ASSERT_EQ(h.RunFree(), S_OK);
    EXPECT_EQ(h.EventCodesUntilEnd(), std::vector<long>{EC_COMPLETE});
    h.control->Stop();

    // One second at 30000/1001 fps: 30 frames, the last starting at 29 frame times.
    ComPtr<ITimeGrabber> time;
    ASSERT_EQ(QueryInterfaceAs(grabber.Get(), time.ReleaseAndGetAddressOf()), S_OK);
    LONGLONG last = 0;
    ASSERT_EQ(time->GetMediaTime(&last), S_OK);
    EXPECT_EQ(last, std::llround(29 * 1001.0 * UNITS / 30000));
}
