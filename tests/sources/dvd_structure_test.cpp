// The DVD structure reader on IFO files built byte by byte.
#include "sources/dvd/dvd_structure.h"

#include <gtest/gtest.h>

#include <QDir>

#include "tests/sources/ifo_builder.h"
#include "tests/support/temp_folder.h"

using namespace testing_dvd;

namespace {

CDvdStructure Read(const TitleSet& set)
{
    CDvdStructure structure;
    const std::string bytes = BuildIfo(set);
    ReadTitleSet(QByteArray(bytes.data(), qsizetype(bytes.size())), QStringLiteral("/disc/VIDEO_TS/VTS_01_0.IFO"),
                 &structure);
    return structure;
}

TitleSet Chains(std::vector<ProgramChain> chains, std::vector<std::vector<uint16_t>> titles)
{
    TitleSet set;
    set.chains = std::move(chains);
    set.titles = std::move(titles);
    return set;
}

std::vector<CSectorRange> RangesOf(const CTitleInfo& title) { return title.m_ranges; }

}  // namespace

TEST(DvdStructure, PlayingTimeIsReadFromBcd)
{
    const struct {
        std::array<uint8_t, 3> time;
        int seconds;
    } cases[] = {{{0x01, 0x59, 0x59}, 7199}, {{0x00, 0x00, 0x00}, 0}, {{0x00, 0x01, 0x30}, 90}, {{0x10, 0, 0}, 36000}};
    for (const auto& c : cases) {
        const CDvdStructure structure = Read(OneTitle(0, 500, c.time));
        ASSERT_EQ(structure.titles.size(), 1u);
        EXPECT_EQ(structure.titles[0]->m_duration, c.seconds) << int(c.time[0]) << ":" << int(c.time[1]);
    }
}

TEST(DvdStructure, TitlesShorterThanHundredSectorsAreDropped)
{
    const struct {
        uint32_t first, last;
        size_t titles;
    } cases[] = {{1000, 1099, 0}, {1000, 1100, 1}, {0, 99, 0}, {0, 100, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(Read(OneTitle(c.first, c.last)).titles.size(), c.titles) << c.first << "-" << c.last;
}

TEST(DvdStructure, ReturningProgramChainAddsARangeAndItsTimeAgain)
{
    TitleSet set;
    set.chains = {{{0, 0x10, 0}, {1}, {{0, 300}}}, {{0, 0, 0x20}, {1, 2}, {{400, 500}, {501, 700}}}};
    set.titles = {{1, 1, 2, 1}};
    const CDvdStructure structure = Read(set);
    ASSERT_EQ(structure.titles.size(), 1u);
    EXPECT_EQ(RangesOf(*structure.titles[0]), (std::vector<CSectorRange>{{0, 300}, {400, 700}, {0, 300}}));
    EXPECT_EQ(structure.titles[0]->m_duration, 2 * 600 + 20);
}

TEST(DvdStructure, TitleSetWithoutAudioIsListedWithoutTitles)
{
    TitleSet set = OneTitle(0, 5000);
    set.audio.clear();
    const CDvdStructure structure = Read(set);
    EXPECT_EQ(structure.titleSets.size(), 1u);
    EXPECT_TRUE(structure.titles.empty());
}

TEST(DvdStructure, TitlePointsToItsTitleSetAndVobFiles)
{
    const CDvdStructure structure = Read(OneTitle(0, 5000));
    ASSERT_EQ(structure.titles.size(), 1u);
    EXPECT_EQ(structure.titles[0]->m_titleSet, structure.titleSets[0].get());
    EXPECT_EQ(structure.titles[0]->GetVobFile(), QStringLiteral("/disc/VIDEO_TS/VTS_01_?.VOB"));
    EXPECT_EQ(structure.titles[0]->m_audio, 0);
    EXPECT_EQ(structure.titles[0]->m_startTime, -1);
}

TEST(DvdStructure, AudioStreamsAreDescribed)
{
    const struct {
        std::array<uint8_t, 8> attributes;
        const char* text;
    } cases[] = {
        {{0x00, 0x05, 'e', 'n'}, "English (Dolby Digital, 5.1 Surround)"},
        {{0xC0, 0x01, 'd', 'e'}, "Deutsch (DTS, Stereo)"},
        {{0xA0, 0x01, 'f', 'r'}, "Français (Unknown audio format, Stereo)"},
        {{0x20, 0x01, 'e', 's'}, "Español (Unknown audio format, Stereo)"},
        {{0x40, 0x03, 'i', 't'}, "Italiano (MPEG-1, 4 channels)"},
        {{0x60, 0x00, 'n', 'l'}, "Nederlands (MPEG-2, 1 channels)"},
        {{0x80, 0x07, 'x', 'x'}, "Unspecified language (LPCM, 8 channels)"},
        {{0xE0, 0x01, 0, 0}, "Unspecified language (Unknown audio format, Stereo)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeAudioStream(c.attributes.data()), QString::fromUtf8(c.text));
}

TEST(DvdStructure, LanguageRows)
{
    const struct {
        char first, second;
        const char* name;
    } cases[] = {{'a', 'a', "Afar"},        {'h', 'i', "Hindi"},      {'h', 'r', "Hrvatski"},
                 {'n', 'l', "Nederlands"},  {'n', 'o', "Norsk"},      {'z', 'u', "Zulu"},
                 {'i', 'n', "Indonesian"},  {'i', 'w', "Hebrew"},     {'j', 'i', "Yiddish"},
                 {'j', 'w', "Javanese"},    {'c', 'a', "Català"},     {'b', 'n', "Bengali; Bangla"},
                 {'E', 'N', "Unspecified language"}, {'q', 'q', "Unspecified language"}};
    for (const auto& c : cases)
        EXPECT_EQ(LanguageName(uint16_t(uint8_t(c.first) << 8 | uint8_t(c.second))), QString::fromUtf8(c.name))
            << c.first << c.second;
    EXPECT_EQ(LanguageName(0x0000), QStringLiteral("Unspecified language"));
    EXPECT_EQ(LanguageName(0xFFFF), QStringLiteral("Unspecified language"));
}

TEST(DvdStructure, StreamDescriptionsByIndex)
{
    TitleSet set = OneTitle(0, 5000);
    set.subpictureLanguages = {'d' << 8 | 'e', 'E' << 8 | 'N'};
    const CDvdStructure structure = Read(set);
    const CTitleSetInfo& titleSet = *structure.titleSets[0];
    EXPECT_EQ(titleSet.m_subtitleDescriptions, (QStringList{"Deutsch", "Unspecified language"}));
    EXPECT_EQ(titleSet.GetAudioDescription(0), QStringLiteral("English (Dolby Digital, Stereo)"));
    EXPECT_EQ(titleSet.GetAudioDescription(1), QStringLiteral("No audio"));
    EXPECT_EQ(titleSet.GetSubtitleDescription(-1), QStringLiteral("No subtitles"));
    EXPECT_EQ(titleSet.GetSubtitleDescription(2), QStringLiteral("No subtitles"));
}

// Damaged tables: the entry or the title goes, the rest stays.
TEST(DvdStructure, BadEntriesAreSkipped)
{
    const auto good = [] { return ProgramChain{{0, 1, 0}, {1}, {{0, 200}}}; };
    const struct {
        const char* name;
        TitleSet set;
        std::vector<std::vector<CSectorRange>> titles;
    } cases[] = {
        {"program chain 0 or beyond the table", Chains({good()}, {{0, 1, 7}, {9}}), {{{0, 200}}}},
        {"entry cell beyond the cells", Chains({{{0, 1, 0}, {2}, {{0, 200}}}}, {{1}}), {}},
        {"entry cell 0", Chains({{{0, 1, 0}, {0}, {{0, 200}}}}, {{1}}), {}},
        {"no program", Chains({{{0, 1, 0}, {}, {{0, 200}}}}, {{1}}), {}},
        {"last entry cell before the first",
         Chains({{{0, 1, 0}, {2, 1}, {{0, 100}, {300, 900}}}}, {{1}}),
         {}},
        {"end before start", Chains({{{0, 1, 0}, {1}, {{900, 100}}}, good()}, {{1, 2}}), {{{0, 200}}}},
    };
    for (const auto& c : cases) {
        const CDvdStructure structure = Read(c.set);
        std::vector<std::vector<CSectorRange>> titles;
        for (const auto& title : structure.titles)
            titles.push_back(title->m_ranges);
        EXPECT_EQ(titles, c.titles) << c.name;
    }
}

TEST(DvdStructure, OffsetsOutsideTheFileAreSkipped)
{
    TitleSet set;
    set.chains = {{{0, 1, 0}, {1}, {{0, 200}}}};
    set.titles = {{1}};
    const std::string valid = BuildIfo(set);
    const struct {
        const char* name;
        size_t offset;
        uint32_t value;
        int width;
    } cases[] = {
        {"part-of-title table sector", 0xC8, 0xFFFFFFFF, 4},
        {"program chain table sector", 0xCC, 0x00200000, 4},
        {"program chain offset", 4096 + 12, 0xFFFFFFF0, 4},
        {"title offset", 2048 + 8, 0x7FFFFFFF, 4},
        {"program map offset", 4096 + 16 + 0xE6, 0xFFFF, 2},
        {"cell table offset", 4096 + 16 + 0xE8, 0xFFFF, 2},
        {"audio count", 0x202, 0xFFFF, 2},
        {"end address far away", 2048 + 4, 0xFFFFFFFF, 4},
    };
    for (const auto& c : cases) {
        std::string bytes = valid;
        Put(bytes, c.offset, c.value, c.width);
        CDvdStructure structure;
        ReadTitleSet(QByteArray(bytes.data(), qsizetype(bytes.size())), QStringLiteral("VTS_01_0.IFO"), &structure);
        EXPECT_EQ(structure.titleSets.size(), 1u) << c.name;
        EXPECT_LE(structure.titles.size(), 1u) << c.name;
        // Whatever the damage lets through is made of the one valid chain.
        for (const auto& title : structure.titles)
            for (const CSectorRange& range : title->m_ranges)
                EXPECT_EQ(range, (CSectorRange{0, 200})) << c.name;
    }
}

TEST(DvdStructure, EveryShortenedFileIsReadWithoutFault)
{
    TitleSet set;
    set.chains = {{{0, 1, 0}, {1}, {{0, 200}}}, {{0, 2, 0}, {1}, {{300, 900}}}};
    set.titles = {{1, 2}, {2}};
    const std::string bytes = BuildIfo(set);
    for (size_t size = 0; size <= bytes.size(); ++size) {
        CDvdStructure structure;
        ReadTitleSet(QByteArray(bytes.data(), qsizetype(size)), QStringLiteral("VTS_01_0.IFO"), &structure);
        EXPECT_LE(structure.titles.size(), 2u);
        for (const auto& title : structure.titles)
            for (const CSectorRange& range : title->m_ranges)
                EXPECT_TRUE((range == CSectorRange{0, 200} || range == CSectorRange{300, 900})) << size;
        if (size == bytes.size()) {
            EXPECT_EQ(structure.titles.size(), 2u);
        }
    }
}

TEST(DvdStructure, DiscIsReadUpToTheFirstMissingTitleSet)
{
    testing_files::TempFolder folder;
    const QString videoTs = QString::fromStdString(folder.File("VIDEO_TS"));
    QDir().mkpath(videoTs);
    for (const char* name : {"VTS_01_0.IFO", "VTS_02_0.IFO", "VTS_04_0.IFO"})
        testing_files::WriteFileBytes((videoTs + "/" + name).toStdString(), BuildIfo(OneTitle(0, 5000)));
    const QString drives[] = {QString::fromStdString(folder.Path().string()), videoTs, videoTs + "/"};
    for (const QString& drive : drives) {
        CDvdStructure structure;
        ASSERT_TRUE(ReadDiscStructure(drive, &structure)) << drive.toStdString();
        EXPECT_EQ(structure.videoTsPath, videoTs);
        ASSERT_EQ(structure.titleSets.size(), 2u);
        EXPECT_EQ(structure.titleSets[1]->m_ifoPath, videoTs + "/VTS_02_0.IFO");
        ASSERT_EQ(structure.titles.size(), 2u);
        EXPECT_EQ(structure.titles[1]->GetVobFile(), videoTs + "/VTS_02_?.VOB");
    }
}

TEST(DvdStructure, NoDriveLeavesTheListsAndNoDiscEmptiesThem)
{
    testing_files::TempFolder folder;
    CDvdStructure structure;
    structure.titleSets.push_back(std::make_unique<CTitleSetInfo>(QStringLiteral("old")));
    EXPECT_FALSE(ReadDiscStructure(QString(), &structure));
    EXPECT_EQ(structure.titleSets.size(), 1u);
    EXPECT_TRUE(ReadDiscStructure(QString::fromStdString(folder.Path().string()), &structure));
    EXPECT_TRUE(structure.titleSets.empty());
}

TEST(DvdSourceString, IsWrittenInItsOrder)
{
    CTitleSetInfo titleSet(QStringLiteral("/media/DVD/VIDEO_TS/VTS_02_0.IFO"));
    CTitleInfo title(&titleSet);
    title.m_ranges = {{0, 183210}, {190000, 201233}};
    title.m_audio = 1;
    title.m_duration = 5421;
    EXPECT_EQ(title.GetSourceString(),
              QStringLiteral("vobfile=/media/DVD/VIDEO_TS/VTS_02_?.VOB&range=0,183210&range=190000,201233"
                             "&audio=1&subtitles=0&starttime=-1&stoptime=-1&duration=5421"));
}

TEST(DvdSourceString, RoundTrips)
{
    const struct {
        const char* vobFile;
        std::vector<CSectorRange> ranges;
        int audio, subtitles;
        int64_t start, stop;
    } cases[] = {
        {"/media/DVD/VIDEO_TS/VTS_01_?.VOB", {{0, 10}, {20, 30}}, 2, -1, 3'000'000'000LL, -1},
        {"/home/me/Tom & Jerry=100%/VIDEO_TS/VTS_03_?.VOB", {{5, 4'000'000'000u}}, 0, 3, -1, 1},
        {"", {}, 0, 0, -1, -1},
    };
    for (const auto& c : cases) {
        CTitleInfo title(static_cast<const CTitleSetInfo*>(nullptr));
        title.m_vobFile = QString::fromUtf8(c.vobFile);
        title.m_ranges = c.ranges;
        title.m_audio = c.audio;
        title.m_subtitles = c.subtitles;
        title.m_startTime = c.start;
        title.m_stopTime = c.stop;
        title.m_duration = 77;
        const CTitleInfo back(title.GetSourceString());
        EXPECT_EQ(back.m_vobFile, title.m_vobFile);
        EXPECT_EQ(back.m_ranges, c.ranges);
        EXPECT_EQ(back.m_audio, c.audio);
        EXPECT_EQ(back.m_subtitles, c.subtitles);
        EXPECT_EQ(back.m_startTime, c.start);
        EXPECT_EQ(back.m_stopTime, c.stop);
        EXPECT_EQ(back.m_duration, 77);
        EXPECT_EQ(back.m_titleSet, nullptr);
    }
}

TEST(DvdSourceString, IsParsedPieceByPiece)
{
    const struct {
        const char* text;
        int audio, subtitles, duration;
        std::vector<CSectorRange> ranges;
    } cases[] = {
        {"audio=1&audio=3", 3, 0, 0, {}},
        {"&&bogus=7&subtitles&Audio=4&subtitles=-1&", 0, -1, 0, {}},
        {"range=5,9&range=1,2&range=7", 0, 0, 0, {{5, 9}, {1, 2}, {7, 0}}},
        {"audio=x2&duration=12s&subtitles=+4", 0, 4, 12, {}},
        {"duration=99999999999999999999&audio=-99999999999", std::numeric_limits<int32_t>::min(), 0,
         std::numeric_limits<int32_t>::max(), {}},
        {"range=-5,=9", 0, 0, 0, {{0, 0}}},
    };
    for (const auto& c : cases) {
        const CTitleInfo title{QString::fromLatin1(c.text)};
        EXPECT_EQ(title.m_audio, c.audio) << c.text;
        EXPECT_EQ(title.m_subtitles, c.subtitles) << c.text;
        EXPECT_EQ(title.m_duration, c.duration) << c.text;
        EXPECT_EQ(title.m_ranges, c.ranges) << c.text;
        EXPECT_EQ(title.m_startTime, -1) << c.text;
    }
}
