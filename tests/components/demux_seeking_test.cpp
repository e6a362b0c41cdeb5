// The demultiplexers' IMediaSeeking: the container's duration, and trimming
// to a range set before the run or while the graph is paused.
#include <gtest/gtest.h>

#include "components/component_ids.h"
#include "tests/components/demux_graph.h"
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

INSTANTIATE_TEST_SUITE_P(Containers, DemuxSeeking, testing::ValuesIn(kSeekCases),
                         [](const auto& info) { return std::string(info.param.extension); });

}  // namespace
