// The DVD source filter on a VIDEO_TS made here: VOBs from the ffmpeg
// command's DVD muxer (split in two files), the IFO written byte by byte.
// What the filter offers must be exactly the selected sectors, and the
// program stream demultiplexer must decode them as ffprobe decodes the same
// bytes written to a file.
#include <gtest/gtest.h>

#include <QString>

#include "components/component_interfaces.h"
#include "components/dvd/dvd_source.h"
#include "pipeline/transcode_task.h"
#include "sources/dvd/dvd_graph.h"
#include "sources/dvd/dvd_structure.h"
#include "sources/dvd/video_dvd_src_dev.h"
#include "tests/components/demux_graph.h"
#include "tests/sources/ifo_builder.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace demux_testing;

namespace {

constexpr size_t kSector = 2048;

class DvdSourceFilter : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new testing_files::TempFolder();
        const std::string vob = s_folder->File("made.vob");
        ASSERT_TRUE(testing_media::MakeMedia(vob, "-f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi -i "
                                                  "sine=frequency=440 -t 3 -target pal-dvd"));
        s_bytes = testing_files::ReadFileBytes(vob);
        ASSERT_EQ(s_bytes.size() % kSector, 0u);
        std::filesystem::create_directories(s_folder->Path() / "VIDEO_TS");
        // The second file starts at an odd sector, inside the stream.
        const size_t split = (s_bytes.size() / kSector / 2 + 1) * kSector;
        testing_files::WriteFileBytes(s_folder->File("VIDEO_TS/VTS_01_1.VOB"), s_bytes.substr(0, split));
        testing_files::WriteFileBytes(s_folder->File("VIDEO_TS/VTS_01_2.VOB"), s_bytes.substr(split));
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    void SetUp() override { RegisterEverything(); }

    static uint32_t Sectors() { return uint32_t(s_bytes.size() / kSector); }
    static std::string Pattern() { return s_folder->File("VIDEO_TS/VTS_01_?.VOB"); }
    static std::string Selected(const std::vector<CSectorRange>& ranges)
    {
        std::string bytes;
        for (const CSectorRange& r : ranges)
            bytes += s_bytes.substr(r.startSector * kSector, (r.endSector - r.startSector + 1) * kSector);
        return bytes;
    }
    static ComPtr<IBaseFilter> Source(const std::string& pattern, const std::vector<CSectorRange>& ranges)
    {
        ComPtr<IBaseFilter> source;
        CoCreateInstance(CLSID_DvdSource, nullptr, CLSCTX_ALL, IID_PPV_ARGS(source.ReleaseAndGetAddressOf()));
        if (!source || FAILED(source.As<IFileSourceFilter>()->Load(pattern.c_str(), nullptr))) return nullptr;
        ComPtr<IDvdSourceRanges> selection;
        source->QueryInterface(IID_PPV_ARGS(selection.ReleaseAndGetAddressOf()));
        for (const CSectorRange& r : ranges)
            if (!selection || FAILED(selection->AddRange(r.startSector, r.endSector))) return nullptr;
        return source;
    }
    static std::string ReadAll(IBaseFilter* source)
    {
        ComPtr<IAsyncReader> reader;
        if (FAILED(testing_filters::OnlyPin(source, PINDIR_OUTPUT)->QueryInterface(IID_PPV_ARGS(reader.ReleaseAndGetAddressOf()))))
            return {};
        LONGLONG total = 0, available = 0;
        reader->Length(&total, &available);
        std::string bytes(size_t(total), '\0');
        // Odd-sized reads, so that some cross a sector, a range and a file.
        for (LONGLONG at = 0; at < total; at += 5000) {
            const LONG length = LONG(std::min<LONGLONG>(5000, total - at));
            if (reader->SyncRead(at, length, reinterpret_cast<BYTE*>(bytes.data() + at)) != S_OK) return {};
        }
        return bytes;
    }

    static testing_files::TempFolder* s_folder;
    static std::string s_bytes;
    testing_files::TempFolder m_folder;
};

testing_files::TempFolder* DvdSourceFilter::s_folder = nullptr;
std::string DvdSourceFilter::s_bytes;

TEST_F(DvdSourceFilter, TitleFromTheIfoIsReadAndDecoded)
{
    const uint32_t n = Sectors();
    const struct {
        const char* name;
        std::vector<uint16_t> chains;  // the title's parts
        std::vector<CSectorRange> ranges;
    } cases[] = {
        {"whole title set", {1}, {{0, n - 1}}},
        {"second half, across the files", {1}, {{n / 3, n - 1}}},
        {"two ranges", {1, 2}, {{0, n / 2}, {n / 2 + n / 4, n - 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_dvd::TitleSet set;
        for (const CSectorRange& r : c.ranges)
            set.chains.push_back({{0, 0, 3}, {1}, {{r.startSector, r.endSector}}});
        set.titles = {c.chains};
        testing_files::WriteFileBytes(s_folder->File("VIDEO_TS/VTS_01_0.IFO"), testing_dvd::BuildIfo(set));
        CDvdStructure structure;
        ASSERT_TRUE(ReadDiscStructure(QString::fromStdString(s_folder->Path().string()), &structure));
        ASSERT_EQ(structure.titles.size(), 1u);
        const CTitleInfo& title = *structure.titles[0];
        ASSERT_EQ(title.m_ranges, c.ranges);

        const ComPtr<IBaseFilter> source = Source(title.GetVobFile().toStdString(), title.m_ranges);
        ASSERT_TRUE(source);
        const std::string expected = Selected(c.ranges);
        ASSERT_EQ(ReadAll(source.Get()), expected) << "exactly the selected sectors, in order";
        const std::string oracle = m_folder.File("expected.vob");
        testing_files::WriteFileBytes(oracle, expected);

        DemuxGraph g(oracle, CLSID_SecondDemultiplexer);
        g.h.graph->RemoveFilter(g.source.Get());
        g.source = source;
        g.h.Add(source.Get(), "DVD Source");
        ASSERT_EQ(g.ConnectSource(), S_OK);
        ASSERT_EQ(g.ConnectAllToRawSinks(), S_OK);
        const auto codes = g.Run();
        ASSERT_FALSE(codes.empty());
        EXPECT_EQ(codes.back(), EC_COMPLETE);
        ASSERT_FALSE(g.sinks.empty());
        EXPECT_NEAR(double(g.sinks.front()->Samples().size()), double(ProbeVideoFrameTimes(oracle).size()), 1.0);
    }
}

TEST_F(DvdSourceFilter, RangesAreCutAtTheEndOfTheLastFile)
{
    const uint32_t n = Sectors();
    const struct {
        std::vector<CSectorRange> ranges;
        std::vector<CSectorRange> read;
    } cases[] = {
        {{}, {{0, n - 1}}},
        {{{n - 2, n + 50}}, {{n - 2, n - 1}}},
        {{{n + 1, n + 5}, {3, 3}}, {{3, 3}}},
    };
    for (const auto& c : cases) {
        const ComPtr<IBaseFilter> source = Source(Pattern(), c.ranges);
        ASSERT_TRUE(source);
        EXPECT_EQ(ReadAll(source.Get()), Selected(c.read));
    }
}

TEST_F(DvdSourceFilter, RefusesWhatItCannotRead)
{
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(CoCreateInstance(CLSID_DvdSource, nullptr, CLSCTX_ALL, IID_PPV_ARGS(source.ReleaseAndGetAddressOf())), S_OK);
    const auto load = source.As<IFileSourceFilter>();
    const auto selection = source.As<IDvdSourceRanges>();
    EXPECT_EQ(selection->AddRange(0, 1), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(load->Load(m_folder.File("VTS_01_?.VOB").c_str(), nullptr), HResultFromErrno(ENOENT));
    EXPECT_EQ(load->Load(s_folder->File("VIDEO_TS/VTS_01_1.VOB").c_str(), nullptr), E_INVALIDARG);
    ASSERT_EQ(load->Load(Pattern().c_str(), nullptr), S_OK);
    EXPECT_EQ(selection->AddRange(5, 4), E_INVALIDARG);
}

TEST_F(DvdSourceFilter, ScrambledDiscFailsWithItsOwnCode)
{
    // Set the scrambling bits of every video PES header after the first second.
    std::string bytes = s_bytes;
    for (size_t at = bytes.size() / 2 / kSector * kSector; at + kSector <= bytes.size(); at += kSector) {
        const size_t pes = 14 + (uint8_t(bytes[at + 13]) & 7);
        if (uint8_t(bytes[at + pes + 3]) == 0xE0) bytes[at + pes + 6] = char(uint8_t(bytes[at + pes + 6]) | 0x10);
    }
    std::filesystem::create_directories(m_folder.Path() / "VIDEO_TS");
    testing_files::WriteFileBytes(m_folder.File("VIDEO_TS/VTS_01_1.VOB"), bytes);
    const ComPtr<IBaseFilter> source = Source(m_folder.File("VIDEO_TS/VTS_01_?.VOB"), {});
    ASSERT_TRUE(source);

    DemuxGraph g(m_folder.File("VIDEO_TS/VTS_01_1.VOB"), CLSID_SecondDemultiplexer);
    g.h.graph->RemoveFilter(g.source.Get());
    g.source = source;
    g.h.Add(source.Get(), "DVD Source");
    HRESULT failure = g.ConnectSource();
    if (SUCCEEDED(failure)) {
        ASSERT_EQ(g.ConnectAllToRawSinks(), S_OK);
        ASSERT_EQ(g.h.RunFree(), S_OK);
        const auto events = g.h.EventsUntilEnd();
        g.h.control->Stop();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().first, EC_ERRORABORT);
        failure = HRESULT(events.back().second);
    }
    EXPECT_EQ(failure, VFW_E_COPYPROT_FAILED);
}

// The graph a task builds for a title, ended in raw sinks: AC-3 goes through
// the AC-3 decoder, and start and stop times trim what is decoded.
TEST_F(DvdSourceFilter, DvdGraphDecodesAndTrimsTheTitle)
{
    const std::vector<std::optional<REFERENCE_TIME>> all = ProbeVideoFrameTimes(s_folder->File("made.vob"));
    const auto framesIn = [&](double from, double to) {
        return double(std::count_if(all.begin(), all.end(), [&](const auto& t) {
            return t && *t >= REFERENCE_TIME(from * UNITS) && *t < REFERENCE_TIME(to * UNITS);
        }));
    };
    const struct {
        int64_t start, stop;
        double from, to;
    } cases[] = {
        {-1, -1, 0, 10},
        {-1, 2 * UNITS, 0, 2},
        {UNITS / 2, 2 * UNITS, 0.5, 2},
        {UNITS / 2, -1, 0.5, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.stop);
        CTitleInfo title(static_cast<const CTitleSetInfo*>(nullptr));
        title.m_vobFile = QString::fromStdString(Pattern());
        title.m_ranges = {{0, Sectors() - 1}};
        title.m_subtitles = 0;  // the fixture has none: left out without an error
        title.m_startTime = c.start;
        title.m_stopTime = c.stop;

        testing_filters::GraphHarness h;
        ComPtr<IPin> videoOut, audioOut;
        ASSERT_EQ(BuildDvdGraph(h.graph.Get(), title, videoOut.ReleaseAndGetAddressOf(),
                                audioOut.ReleaseAndGetAddressOf(), nullptr),
                  S_OK);
        std::vector<ComPtr<IBaseFilter>> sinks;
        for (IPin* out : {videoOut.Get(), audioOut.Get()}) {
            sinks.emplace_back(new CRawSink());
            h.Add(sinks.back().Get(), "Sink");
            ASSERT_EQ(h.graph->Connect(out, h.Pin(sinks.back().Get(), PINDIR_INPUT)), S_OK);
        }
        EXPECT_EQ(UpstreamClass(h.Pin(sinks.back().Get(), PINDIR_INPUT)), CLSID_Ac3Decoder);
        ASSERT_EQ(ApplyTrim(h.graph.Get(), title), S_OK);
        ASSERT_EQ(h.RunFree(), S_OK);
        const auto events = h.EventsUntilEnd();
        h.control->Stop();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().first, EC_COMPLETE) << std::hex << events.back().second;
        const auto frames = static_cast<CRawSink*>(sinks.front().Get())->Samples();
        EXPECT_NEAR(double(frames.size()), framesIn(c.from, c.to), 2.0);
    }
}

TEST_F(DvdSourceFilter, DeviceQueuesTitlesByNumber)
{
    testing_dvd::TitleSet set;
    for (uint32_t first : {0u, 1000u, 2000u})
        set.chains.push_back({{0, 0, 3}, {1}, {{first, first + 500}}});
    set.titles = {{1}, {2}, {3}};
    testing_files::TempFolder disc;
    std::filesystem::create_directories(disc.Path() / "MOVIE" / "VIDEO_TS");
    testing_files::WriteFileBytes(disc.File("MOVIE/VIDEO_TS/VTS_01_0.IFO"), testing_dvd::BuildIfo(set));

    CVideoDVDSrcDev device(nullptr);
    device.SelectDrive(device.AddDrive(QString::fromStdString(disc.File("MOVIE"))));
    ASSERT_TRUE(device.ReadDiscStructure());
    ASSERT_EQ(device.TitleCount(), 3);
    device.Title(2)->m_audio = 1;
    TaskList tasks;
    const QStringList items{"3", "1", "0", "4", "x"};
    ASSERT_TRUE(device.CreateTasks(tasks, nullptr, &items));
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0]->GetName(), QStringLiteral("MOVIE - Title 3"));
    EXPECT_EQ(tasks[1]->GetName(), QStringLiteral("MOVIE - Title 1"));
    const CTitleInfo carried(tasks[0]->GetSourcePath());
    EXPECT_EQ(carried.m_ranges, (std::vector<CSectorRange>{{2000, 2500}}));
    EXPECT_EQ(carried.m_audio, 1);
    EXPECT_FALSE(tasks[0]->IsAudioOnly());
}

TEST(DvdPackScrambling, PesScramblingControlBitsAreSeen)
{
    // Pack header (MPEG-2, no stuffing) then one PES header.
    const auto pack = [](uint8_t id, uint8_t flags, bool systemHeader = false) {
        std::string p = std::string("\0\0\1\xBA\x44\0\4\0\4\1\1\x89\xC3\xF8", 14);
        if (systemHeader) p += std::string("\0\0\1\xBB\0\2\x80\x01", 8);
        p += std::string("\0\0\1", 3) + char(id) + std::string("\x07\xEC", 2) + char(flags) + std::string(8, '\0');
        p.resize(kSector, '\xFF');
        return p;
    };
    const struct {
        const char* name;
        std::string bytes;
        size_t size;
        bool scrambled;
    } cases[] = {
        {"clear video", pack(0xE0, 0x81), kSector, false},
        {"scrambled video", pack(0xE0, 0x91), kSector, true},
        {"scrambled video, key 2", pack(0xE0, 0xA1), kSector, true},
        {"scrambled AC-3", pack(0xBD, 0xB5), kSector, true},
        {"scrambled MPEG audio", pack(0xC0, 0x95), kSector, true},
        {"navigation pack", pack(0xBF, 0x30, true), kSector, false},
        {"system header, then scrambled video", pack(0xE0, 0x91, true), kSector, true},
        {"padding", pack(0xBE, 0xFF), kSector, false},
        {"MPEG-1 style header", pack(0xE0, 0x30), kSector, false},
        {"cut before the flags", pack(0xE0, 0x91), 20, false},
        {"no pack", std::string(kSector, '\0'), kSector, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsScrambledPack(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.size), c.scrambled) << c.name;
}

}  // namespace
