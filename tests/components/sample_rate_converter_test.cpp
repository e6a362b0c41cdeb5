// The sample-rate converter: audio resampled with continuous times.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "components/component_ids.h"
#include "tests/components/converter_chain.h"

using namespace converter_testing;
using testing_media::CRawAudioSource;

namespace {

// The first channel of every audio frame, as values from -1 to 1.
std::vector<double> FirstChannel(const std::vector<testing_media::ReceivedSample>& samples, const RawAudioFormat& format)
{
    std::vector<double> values;
    const int bytes = av_get_bytes_per_sample(format.sampleFormat);
    for (const auto& sample : samples)
        for (size_t at = 0; at + format.BytesPerFrame() <= sample.bytes.size(); at += format.BytesPerFrame()) {
            if (format.sampleFormat == AV_SAMPLE_FMT_FLT) {
                float value;
                std::memcpy(&value, sample.bytes.data() + at, bytes);
                values.push_back(value);
            } else {
                int16_t value;
                std::memcpy(&value, sample.bytes.data() + at, bytes);
                values.push_back(value / 32768.0);
            }
        }
    return values;
}

double Rms(const std::vector<double>& values, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += values[i] * values[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Upward zero crossings: a 440 Hz tone has 440 a second at any rate.
int RisingCrossings(const std::vector<double>& values)
{
    int crossings = 0;
    for (size_t i = 1; i < values.size(); ++i)
        if (values[i - 1] < 0 && values[i] >= 0) ++crossings;
    return crossings;
}

}  // namespace

TEST(SampleRateConverter, ResamplesAToneKeepingItsPitchLevelAndTimes)
{
    struct Case {
        const char* what;
        RawAudioFormat input;
        uint32_t rate;
        double seconds;
    } cases[] = {
        {"48 kHz stereo integers to 44.1 kHz", {AV_SAMPLE_FMT_S16, 48000, 2}, 44100, 1.0},
        {"44.1 kHz mono floats to 48 kHz", {AV_SAMPLE_FMT_FLT, 44100, 1}, 48000, 1.0},
        {"22.05 kHz stereo integers to 8 kHz", {AV_SAMPLE_FMT_S16, 22050, 2}, 8000, 2.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto converter = MakeComponent(CLSID_SampleRateConverter);
        ASSERT_EQ(Configure(converter.Get(), {{component_params::SampleRate, c.rate}}), S_OK);
        ConverterChain chain(ComPtr<IBaseFilter>(new CRawAudioSource(c.input, c.seconds)).Get(), converter.Get());
        ASSERT_EQ(chain.Connect(), S_OK);
        const auto out = ReadRawAudioType(chain.sink->ConnectedType());
        ASSERT_TRUE(out);
        EXPECT_EQ(out->sampleRate, static_cast<int>(c.rate));
        EXPECT_EQ(out->sampleFormat, c.input.sampleFormat);
        EXPECT_EQ(out->channels, c.input.channels);

        ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});
        const auto samples = chain.Samples();
        ASSERT_FALSE(samples.empty());
        EXPECT_EQ(samples.front().start, 0);
        for (size_t i = 1; i < samples.size(); ++i) ASSERT_EQ(samples[i].start, samples[i - 1].end) << "sample " << i;

        const auto values = FirstChannel(samples, *out);
        const double expectedFrames = c.seconds * c.rate;
        EXPECT_NEAR(static_cast<double>(values.size()), expectedFrames, 8) << "drained to the end";
        EXPECT_NEAR(static_cast<double>(*samples.back().end), c.seconds * UNITS, UNITS / 1000.0);
        EXPECT_NEAR(RisingCrossings(values), 440 * c.seconds, 2);
        // The source's tone has amplitude 0.5, so an RMS of 0.5 / sqrt(2);
        // leave out the edges, where the resampler's filter starts and ends.
        EXPECT_NEAR(Rms(values, values.size() / 10, values.size() * 9 / 10), 0.5 / std::sqrt(2.0), 0.01);
    }
}

TEST(SampleRateConverter, PassesAudioThroughAtZeroOrTheSameRate)
{
    const RawAudioFormat format{AV_SAMPLE_FMT_S16, 44100, 2};
    for (uint32_t rate : {0u, 44100u}) {
        SCOPED_TRACE(rate);
        auto converter = MakeComponent(CLSID_SampleRateConverter);
        ASSERT_EQ(Configure(converter.Get(), {{component_params::SampleRate, rate}}), S_OK);
        ConverterChain chain(ComPtr<IBaseFilter>(new CRawAudioSource(format, 0.5)).Get(), converter.Get());
        ASSERT_EQ(chain.Connect(), S_OK);
        EXPECT_EQ(ReadRawAudioType(chain.sink->ConnectedType())->sampleRate, 44100);
        ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});
        const auto samples = chain.Samples();
        // 22050 frames in buffers of 1024, as the source sent them.
        ASSERT_EQ(samples.size(), 22u);
        EXPECT_EQ(samples.back().bytes.size(), (22050u - 21 * 1024) * format.BytesPerFrame());
        EXPECT_EQ(samples.back().start, 21 * 1024 * UNITS / 44100);
    }
}

TEST(SampleRateConverter, TakesIntegersAndFloatsOnly)
{
    auto converter = MakeComponent(CLSID_SampleRateConverter);
    ASSERT_EQ(Configure(converter.Get(), {{component_params::SampleRate, 44100}}), S_OK);
    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> source(new CRawAudioSource({AV_SAMPLE_FMT_S32, 48000, 2}, 0.1));
    h.Add(source.Get(), "Source");
    h.Add(converter.Get(), "Converter");
    EXPECT_TRUE(FAILED(h.graph->ConnectDirect(h.Pin(source.Get(), PINDIR_OUTPUT), h.Pin(converter.Get(), PINDIR_INPUT), nullptr)));
}

TEST(SampleRateConverter, RefusesRatesItCannotMake)
{
    for (uint32_t rate : {500u, 1000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(rate);
        auto converter = MakeComponent(CLSID_SampleRateConverter);
        EXPECT_EQ(Configure(converter.Get(), {{component_params::SampleRate, rate}}), E_INVALIDARG);
    }
}

TEST(SampleRateConverter, MixesDownToTheChannelLimitAndKeepsFewerChannels)
{
    struct Case {
        const char* what;
        int channels;
        uint32_t limit;
        int expected;
    } cases[] = {
        {"5.1 mixed down to stereo", 6, 2, 2},
        {"mono kept under a stereo limit", 1, 2, 1},
        {"5.1 kept without a limit", 6, 0, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RawAudioFormat input{AV_SAMPLE_FMT_S16, 48000, c.channels};
        auto converter = MakeComponent(CLSID_SampleRateConverter);
        ASSERT_EQ(Configure(converter.Get(), {{component_params::MaxChannels, c.limit}}), S_OK);
        ConverterChain chain(ComPtr<IBaseFilter>(new CRawAudioSource(input, 1.0)).Get(), converter.Get());
        ASSERT_EQ(chain.Connect(), S_OK);
        const auto out = ReadRawAudioType(chain.sink->ConnectedType());
        ASSERT_TRUE(out);
        EXPECT_EQ(out->channels, c.expected);
        EXPECT_EQ(out->sampleRate, 48000);
        ASSERT_EQ(chain.Run(), std::vector<long>{EC_COMPLETE});
        const auto values = FirstChannel(chain.Samples(), *out);
        EXPECT_NEAR(static_cast<double>(values.size()), 48000, 8);
        EXPECT_NEAR(RisingCrossings(values), 440, 2);
    }
}
