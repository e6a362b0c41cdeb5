// The frame-rate converter: frames repeated or dropped onto a constant rate.
#include <gtest/gtest.h>

#include <cmath>

#include "components/component_ids.h"
#include "tests/components/converter_chain.h"

using namespace converter_testing;
using testing_media::CRawVideoSource;

namespace {

// The raw source paints luma (x + y + 3n) & 255, so the top-left pixel
// names the source frame a converted frame shows (n < 86).
int SourceFrameOf(const std::string& frame) { return static_cast<uint8_t>(frame[0]) / 3; }

// The source frame nearest to time t (the earlier one on a tie).
int NearestFrame(double t, double frameTime, int frames)
{
    int best = 0;
    for (int n = 1; n < frames; ++n)
        if (std::abs(n * frameTime - t) < std::abs(best * frameTime - t)) best = n;
    return best;
}

}  // namespace

TEST(FrameRateConverter, PutsFramesOnTheConfiguredRate)
{
    struct Case {
        const char* what;
        REFERENCE_TIME inputFrameTime;
        int inputFrames;
        uint32_t rate;           // the parameter's bits
        double fps;              // what it stands for
        int expectedFrames;      // output slots before the input's end
    } cases[] = {
        {"25 to 29.97 repeats", UNITS / 25, 50, 0xFFFFF44B, 30000.0 / 1001, 60},
        {"30 to 25 drops", 333333, 60, 2500, 25, 50},
        {"25 to 50 doubles", UNITS / 25, 25, 5000, 50, 50},
        {"24 to 23.976", UNITS / 24, 24, static_cast<uint32_t>(-2397), 24000.0 / 1001, 24},
        {"25 to 25 keeps", UNITS / 25, 25, 2500, 25, 25},
        {"29.97 to 15", 333667, 30, 1500, 15, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto converter = MakeComponent(CLSID_FrameRateConverter);
        ASSERT_EQ(Configure(converter.Get(), {{component_params::FrameRate, c.rate}}), S_OK);
        const RawVideoFormat format{AV_PIX_FMT_YUV420P, 16, 16, c.inputFrameTime};
        ConverterChain chain(ComPtr<IBaseFilter>(new CRawVideoSource(format, c.inputFrames)).Get(), converter.Get());
        ASSERT_EQ(chain.Connect(), S_OK);
        const auto out = ReadRawVideoType(chain.sink->ConnectedType());
        ASSERT_TRUE(out);
        EXPECT_EQ(out->timePerFrame, std::llround(UNITS / c.fps));
        EXPECT_EQ(out->width, 16);

        ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});
        const auto samples = chain.Samples();
        ASSERT_EQ(static_cast<int>(samples.size()), c.expectedFrames);
        for (int n = 0; n < c.expectedFrames; ++n) {
            SCOPED_TRACE(n);
            const double t = n * UNITS / c.fps;
            ASSERT_TRUE(samples[n].start && samples[n].end);
            EXPECT_NEAR(static_cast<double>(*samples[n].start), t, 1.0) << "no drift";
            EXPECT_NEAR(static_cast<double>(*samples[n].end), t + UNITS / c.fps, 1.0);
            EXPECT_EQ(SourceFrameOf(samples[n].bytes), NearestFrame(t, static_cast<double>(c.inputFrameTime), c.inputFrames));
        }
    }
}

TEST(FrameRateConverter, PassesFramesThroughAtZero)
{
    auto converter = MakeComponent(CLSID_FrameRateConverter);
    const RawVideoFormat format{AV_PIX_FMT_NV12, 16, 16, 333667};
    ConverterChain chain(ComPtr<IBaseFilter>(new CRawVideoSource(format, 10)).Get(), converter.Get());
    ASSERT_EQ(chain.Connect(), S_OK);
    EXPECT_EQ(ReadRawVideoType(chain.sink->ConnectedType())->timePerFrame, 333667);
    ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});
    const auto samples = chain.Samples();
    ASSERT_EQ(samples.size(), 10u);
    for (int n = 0; n < 10; ++n) EXPECT_EQ(samples[n].start, n * 333667LL);
}

TEST(FrameRateConverter, KeepsOneFrameOfAStreamWithoutDurations)
{
    // Every frame starts and ends at 0: the first takes the only slot.
    for (int frames : {1, 5}) {
        SCOPED_TRACE(frames);
        auto converter = MakeComponent(CLSID_FrameRateConverter);
        ASSERT_EQ(Configure(converter.Get(), {{component_params::FrameRate, 2500}}), S_OK);
        const RawVideoFormat format{AV_PIX_FMT_YUV420P, 16, 16, 0};
        ConverterChain chain(ComPtr<IBaseFilter>(new CRawVideoSource(format, frames)).Get(), converter.Get());
        ASSERT_EQ(chain.Connect(), S_OK);
        ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});
        const auto samples = chain.Samples();
        ASSERT_EQ(samples.size(), 1u);
        EXPECT_EQ(samples[0].start, 0);
        EXPECT_EQ(samples[0].end, UNITS / 25);
        EXPECT_EQ(SourceFrameOf(samples[0].bytes), 0);
    }
}

TEST(FrameRateConverter, RefusesRatesItCannotMake)
{
    struct Case {
        uint32_t bits;
        HRESULT expected;
    } cases[] = {{50, E_INVALIDARG}, {static_cast<uint32_t>(-50), E_INVALIDARG}, {30000, E_INVALIDARG},
                 {100, S_OK}, {0xFFFFF44B, S_OK}, {0, S_OK}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        auto converter = MakeComponent(CLSID_FrameRateConverter);
        EXPECT_EQ(Configure(converter.Get(), {{component_params::FrameRate, c.bits}}), c.expected);
    }
}
