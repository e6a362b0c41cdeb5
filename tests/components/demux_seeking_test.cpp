// The demultiplexers' IMediaSeeking: the container's duration, trimming to
// a range set before the run or while the graph is paused, and a seek while
// the graph plays.
#include <gtest/gtest.h>

#include <optional>

#include "components/component_ids.h"
#include "tests/components/demux_graph.h"
#include "tests/platform/dshow/test_filters.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace demux_testing;
using testing_files::TempFolder;

namespace {

constexpr const char* kClip = "-f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine=sample_rate=44100 -t 2 ";

struct SeekCase {
    const char* extension;
    const char* codecs;
    CLSID demultiplexer;
};

std::ostream& operator<<(std::ostream& out, const SeekCase& c) { return out << c.extension; }

const SeekCase kSeekCases[] = {
    {"mp4", "-c:v libx264 -c:a aac", CLSID_Demultiplexer},
    {"avi", "-c:v mpeg4 -c:a libmp3lame", CLSID_Demultiplexer},
    {"wmv", "-c:v wmv2 -c:a wmav2", CLSID_Demultiplexer},
    {"flv", "-c:v flv -c:a libmp3lame", CLSID_Demultiplexer},
    // Broadcast streams have a key frame every second or so.
    {"ts", "-c:v libx264 -g 25 -c:a aac", CLSID_Demultiplexer},
    {"mpg", "-c:v mpeg2video -c:a mp2 -f vob", CLSID_SecondDemultiplexer},
};

class DemuxSeeking : public testing::TestWithParam<SeekCase> {
protected:
    void SetUp() override
    {
        RegisterEverything();
        m_path = m_folder.File(std::string("clip.") + GetParam().extension);
        ASSERT_TRUE(testing_media::MakeMedia(m_path, std::string(kClip) + GetParam().codecs));
    }

    TempFolder m_folder;
    std::string m_path;
};

TEST_P(DemuxSeeking, EveryPinKnowsTheContainersDuration)
{
    DemuxGraph g(m_path, GetParam().demultiplexer);
    ASSERT_EQ(g.ConnectSource(), S_OK);
    const double expected = testing_media::Probe(m_path).Duration();
    for (const auto& pin : g.Outputs()) {
        auto seeking = pin.As<IMediaSeeking>();
        ASSERT_TRUE(seeking) << PinId(pin.Get());
        LONGLONG duration = 0;
        ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
        EXPECT_NEAR(static_cast<double>(duration) / UNITS, expected, 0.1) << PinId(pin.Get());
    }
}

// What reached the sinks after trimming to [0.5 s, 1.5 s).
struct Trimmed {
    std::vector<RawSampleRecord> video;
    double audioSeconds = 0;
};

enum class When { Stopped, Paused };

Trimmed RunTrimmed(const std::string& path, REFCLSID demultiplexer, When when)
{
    DemuxGraph g(path, demultiplexer);
    Trimmed result;
    EXPECT_EQ(g.ConnectSource(), S_OK);
    EXPECT_EQ(g.ConnectAllToRawSinks(), S_OK);
    if (g.sinks.size() != 2) return result;
    EXPECT_EQ(g.h.mediaFilter->SetSyncSource(nullptr), S_OK);
    // The DVD source pauses the graph before it sets the range.
    if (when == When::Paused) {
        EXPECT_TRUE(SUCCEEDED(g.h.control->Pause()));
    }
    LONGLONG start = UNITS / 2, stop = UNITS * 3 / 2;
    EXPECT_EQ(g.h.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning),
              S_OK);
    EXPECT_EQ(g.h.control->Run(), S_OK);
    const auto events = g.h.EventsUntilEnd();
    g.h.control->Stop();
    EXPECT_EQ(events.empty() ? testing_filters::EventRecord{} : events.back(),
              (testing_filters::EventRecord{EC_COMPLETE, 0}));

    result.video = g.sinks[0]->Samples();
    const auto audio = ReadRawAudioType(g.sinks[1]->ConnectedType());
    if (!audio) return result;
    long bytes = 0;
    for (const auto& sample : g.sinks[1]->Samples()) bytes += sample.length;
    result.audioSeconds = static_cast<double>(bytes) / audio->BytesPerFrame() / audio->sampleRate;
    return result;
}

TEST_P(DemuxSeeking, SetPositionsDeliversOnlyTheRange)
{
    for (When when : {When::Stopped, When::Paused}) {
        SCOPED_TRACE(when == When::Stopped ? "set while stopped" : "set while paused");
        const Trimmed trimmed = RunTrimmed(m_path, GetParam().demultiplexer, when);
        // 25 frames a second: 25 frames in the second asked for, give or take one.
        EXPECT_NEAR(static_cast<double>(trimmed.video.size()), 25.0, 1.0);
        for (const auto& frame : trimmed.video) {
            ASSERT_TRUE(frame.start);
            EXPECT_GT(*frame.start, UNITS / 2 - UNITS / 25);
            EXPECT_LT(*frame.start, UNITS * 3 / 2);
        }
        EXPECT_NEAR(trimmed.audioSeconds, 1.0, 0.1);
    }
}

TEST_P(DemuxSeeking, RunningAgainStartsFromTheBeginning)
{
    DemuxGraph g(m_path, GetParam().demultiplexer);
    ASSERT_EQ(g.ConnectSource(), S_OK);
    ASSERT_EQ(g.ConnectAllToRawSinks(), S_OK);
    ASSERT_EQ(g.Run(), std::vector<long>{EC_COMPLETE});
    const size_t once = g.sinks.front()->Samples().size();
    EXPECT_NEAR(static_cast<double>(once), 50.0, 1.0);
    ASSERT_EQ(g.Run(), std::vector<long>{EC_COMPLETE});
    EXPECT_EQ(g.sinks.front()->Samples().size(), 2 * once);
}

// The graph plays on a clock that stands at kPlayed, so the sinks wait
// there, interruptibly, for the next sample's time; then it seeks to kSeekTo.
// What was under way is flushed, the rest starts at kSeekTo, and the clock
// jumping to the end lets the run complete.
TEST_P(DemuxSeeking, SetPositionsWhileRunningGoesOnFromTheNewPosition)
{
    constexpr REFERENCE_TIME kFrame = UNITS / 25;
    constexpr REFERENCE_TIME kPlayed = 42 * UNITS / 100;
    constexpr REFERENCE_TIME kSeekTo = 12 * UNITS / 10;

    DemuxGraph g(m_path, GetParam().demultiplexer);
    ASSERT_EQ(g.ConnectSource(), S_OK);
    ASSERT_EQ(g.ConnectAllToRawSinks(), S_OK);
    ASSERT_EQ(g.sinks.size(), 2u);
    const auto audio = ReadRawAudioType(g.sinks[1]->ConnectedType());
    ASSERT_TRUE(audio);
    ComPtr<testing_filters::CManualClock> clock(new testing_filters::CManualClock());
    ASSERT_EQ(g.h.mediaFilter->SetSyncSource(clock.Get()), S_OK);
    clock->now = kPlayed;
    ASSERT_EQ(g.h.mediaFilter->Run(0), S_OK);  // stream time is the clock's time
    // Playing, and a sink waits for the clock; how far each stream got
    // depends on the container's interleaving.
    ASSERT_TRUE(g.sinks[0]->WaitForSamples(1));
    ASSERT_TRUE(clock->WaitForQueryFromAnotherThread());

    LONGLONG seekTo = kSeekTo;
    ASSERT_EQ(g.h.seeking->SetPositions(&seekTo, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
              S_OK);
    clock->now = 100 * UNITS;
    const auto events = g.h.EventsUntilEnd();
    g.h.control->Stop();
    EXPECT_EQ(events, (std::vector<testing_filters::EventRecord>{{EC_COMPLETE, 0}}));

    std::vector<REFERENCE_TIME> before, after;
    for (const auto& frame : g.sinks[0]->Samples()) {
        ASSERT_TRUE(frame.start);
        (*frame.start <= kPlayed ? before : after).push_back(*frame.start);
    }
    EXPECT_FALSE(before.empty());
    ASSERT_FALSE(after.empty()) << "nothing played after the seek";
    EXPECT_NEAR(static_cast<double>(after.front()), static_cast<double>(kSeekTo), static_cast<double>(kFrame))
        << "the first frame after the seek";
    for (const REFERENCE_TIME start : after) EXPECT_GE(start, kSeekTo - kFrame) << "a frame from before the seek";
    // Every frame ffprobe finds from kSeekTo on, give or take one.
    size_t probed = 0;
    for (const auto& time : ProbeVideoFrameTimes(m_path)) probed += time && *time >= kSeekTo;
    EXPECT_NEAR(static_cast<double>(after.size()), static_cast<double>(probed), 1.0);

    // The sound goes on without a gap or a repeat from about kSeekTo to the
    // end ffprobe finds.
    const double secondsPerByte = 1.0 / audio->BytesPerFrame() / audio->sampleRate;
    std::optional<double> first, end;
    for (const auto& sample : g.sinks[1]->Samples()) {
        ASSERT_TRUE(sample.start);
        const double start = static_cast<double>(*sample.start) / UNITS;
        if (*sample.start <= kPlayed) continue;
        if (end) {
            EXPECT_NEAR(start, *end, 0.001) << "sound after the seek is not continuous";
        }
        if (!first) first = start;
        end = start + sample.length * secondsPerByte;
    }
    ASSERT_TRUE(first) << "no sound after the seek";
    EXPECT_NEAR(*first, static_cast<double>(kSeekTo) / UNITS, 0.1) << "the first sound after the seek";
    EXPECT_NEAR(*end, testing_media::Probe(m_path).Duration(), 0.1) << "the end of the sound";
}

INSTANTIATE_TEST_SUITE_P(Containers, DemuxSeeking, testing::ValuesIn(kSeekCases),
                         [](const auto& info) { return std::string(info.param.extension); });

}  // namespace
