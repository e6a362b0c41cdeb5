// Titles of a VIDEO_TS folder made here (VOBs from the ffmpeg command's DVD
// muxer with one tone per audio stream, the IFO written byte by byte) sent
// to "My Computer" from the command line; ffprobe and the ffmpeg command
// judge what the program wrote.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/tavimo_command.h"
#include "tests/sources/ifo_builder.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_e2e::ChildOutcome;
using testing_e2e::Describe;
using testing_e2e::TavimoCommand;

// The tone of the file's first audio stream, from its zero crossings.
double ToneOf(const std::string& path)
{
    const std::string samples = testing_media::RunCommand("ffmpeg -v error -i " + testing_media::Quoted(path) +
                                                          " -map 0:a:0 -ac 1 -ar 48000 -f s16le -");
    const auto* pcm = reinterpret_cast<const int16_t*>(samples.data());
    const size_t count = samples.size() / 2;
    size_t crossings = 0;
    for (size_t i = 1; i < count; ++i)
        crossings += (pcm[i - 1] < 0) != (pcm[i] < 0);
    return count ? crossings / 2.0 / (double(count) / 48000) : 0;
}

class DvdCommandLine : public testing::Test {
protected:
    void SetUp() override
    {
        const fs::path videoTs = m_temp.Path() / "MOVIE" / "VIDEO_TS";
        fs::create_directories(videoTs);
        const std::string vob = (videoTs / "VTS_01_1.VOB").string();
        ASSERT_TRUE(testing_media::MakeMedia(vob, "-f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi -i "
                                                  "sine=frequency=440 -f lavfi -i sine=frequency=1500 "
                                                  "-map 0:v -map 1:a -map 2:a -t 2 -target pal-dvd"));
        const uint32_t sectors = uint32_t(fs::file_size(vob) / 2048);
        testing_dvd::TitleSet set;
        set.audio = {{0x00, 0x01, 'e', 'n'}, {0x00, 0x01, 'd', 'e'}};
        set.chains = {{{0, 0, 2}, {1}, {{0, sectors - 1}}}};
        set.titles = {{1}};
        testing_files::WriteFileBytes((videoTs / "VTS_01_0.IFO").string(), testing_dvd::BuildIfo(set));
    }

    ChildOutcome Send(std::vector<std::string> extra)
    {
        std::vector<std::string> arguments{"-source=Video DVD", "-drive=" + (m_temp.Path() / "MOVIE").string(),
                                           "-sendto=My Computer", "-format=mp4", "-outdir=" + Outputs().string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return TavimoCommand(m_temp.Path() / "home").Run(arguments);
    }
    fs::path Outputs() const { return m_temp.Path() / "out"; }

    testing_files::TempFolder m_temp;
};

TEST_F(DvdCommandLine, TitleIsSentWithTheChosenAudio)
{
    const struct {
        std::vector<std::string> switches;
        double tone;
    } cases[] = {{{}, 440}, {{"-audio=2"}, 1500}, {{"-audio=1", "-subtitles=0"}, 440}};
    for (const auto& c : cases) {
        fs::remove_all(Outputs());
        std::vector<std::string> extra = c.switches;
        extra.push_back("1");
        const ChildOutcome outcome = Send(extra);
        ASSERT_EQ(outcome.exitCode, 0) << Describe(outcome);
        const std::string output = (Outputs() / "MOVIE - Title 1.mp4").string();
        const testing_media::Probe probe(output);
        ASSERT_TRUE(probe.IsValid()) << output;
        EXPECT_NEAR(probe.Duration(), 2.0, 0.3);
        EXPECT_GE(probe.FirstStream("video"), 0);
        EXPECT_NEAR(ToneOf(output), c.tone, c.tone * 0.05);
    }
}

TEST_F(DvdCommandLine, TitlesAndStreamsTheDiscLacksAreRefused)
{
    const std::vector<std::string> cases[] = {{"2"}, {"-audio=3", "1"}, {"-subtitles=1", "1"}, {"0"}};
    for (const auto& extra : cases) {
        const ChildOutcome outcome = Send(extra);
        EXPECT_EQ(outcome.exitCode, 2) << extra.front() << ": " << Describe(outcome);
        EXPECT_FALSE(fs::exists(Outputs() / "MOVIE - Title 1.mp4"));
    }
}

TEST_F(DvdCommandLine, BadDvdSwitchesAreRefused)
{
    const std::string drive = "-drive=" + (m_temp.Path() / "MOVIE").string();
    const std::vector<std::string> cases[] = {
        {drive, "-sendto=My Computer", "1"},                              // a drive without the source
        {"-source=Video DVD", "-sendto=My Computer", "1"},                // the source without a drive
        {"-source=Audio CD", drive, "-sendto=My Computer", "1"},          // no such source here
        {"-source=Video DVD", drive, "-sendto=My Computer"},              // no title
        {"-source=Video DVD", drive, "-sendto=My Computer", "first"},     // not a number
        {"-source=Video DVD", drive, "-audio=0", "-sendto=My Computer", "1"},
        {"-source=Video DVD", "-drive=" + m_temp.File("nothing"), "-sendto=My Computer", "1"},
    };
    for (const auto& arguments : cases) {
        const ChildOutcome outcome = TavimoCommand(m_temp.Path() / "home").Run(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments.front() << " " << arguments[1] << ": " << Describe(outcome);
    }
}

}  // namespace
