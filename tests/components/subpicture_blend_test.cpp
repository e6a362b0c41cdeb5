// DVD subpictures through the second demultiplexer into the MPEG-2 decoder's
// "SubPicture In": the pictures that pass while a subpicture shows carry it,
// the others match a run without the subpicture connection. The fixture is
// a VobSub (.idx + .sub, written here: ffmpeg encodes no bitmap subtitles
// from text) that the ffmpeg command muxes with MPEG-2 video into a VOB.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/component_ids.h"
#include "tests/components/demux_graph.h"
#include "tests/components/mp4_output_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/raw_media_filters.h"
#include "tests/support/temp_folder.h"

namespace {

using mp4_testing::NamedPin;

constexpr int kWidth = 160, kHeight = 120;
constexpr REFERENCE_TIME kFrame = UNITS / 25;
// The subpicture's box, in picture pixels; its RLE lines are one run each.
constexpr int kBoxX = 40, kBoxY = 30, kBoxWidth = 48, kBoxHeight = 16;
// Stop delay in 1024/90000 s ticks: 88 ticks is just over one second.
constexpr int kStopTicks = 88;
constexpr REFERENCE_TIME kShownUntil = kStopTicks * 1024 * UNITS / 90000;

void Put16(std::string* bytes, int value)
{
    bytes->push_back(static_cast<char>(value >> 8));
    bytes->push_back(static_cast<char>(value & 0xFF));
}

// A subpicture packet: the box in colour 1, shown at once, stopped after kStopTicks.
std::string SubpicturePacket()
{
    std::string lines;
    for (int row = 0; row < kBoxHeight; ++row) lines += std::string("\x00\x01", 2);  // colour 1 to the line's end
    const int firstControl = 4 + static_cast<int>(lines.size());
    std::string control;
    control += std::string("\x03\x32\x10\x04\xFF\xF0\x05", 7);  // colours, contrast (opaque), area:
    const int right = kBoxX + kBoxWidth - 1, bottom = kBoxY + kBoxHeight - 1;
    control += {static_cast<char>(kBoxX >> 4), static_cast<char>(((kBoxX & 15) << 4) | (right >> 8)),
                static_cast<char>(right & 0xFF), static_cast<char>(kBoxY >> 4),
                static_cast<char>(((kBoxY & 15) << 4) | (bottom >> 8)), static_cast<char>(bottom & 0xFF)};
    control += '\x06';  // line offsets: even rows first, then odd rows
    Put16(&control, 4);
    Put16(&control, 4 + kBoxHeight);
    control += std::string("\x01\xFF", 2);  // show; end of command list
    const int secondControl = firstControl + 4 + static_cast<int>(control.size());
    std::string packet;
    Put16(&packet, secondControl + 6);
    Put16(&packet, firstControl);
    packet += lines;
    Put16(&packet, 0);
    Put16(&packet, secondControl);
    packet += control;
    Put16(&packet, kStopTicks);
    Put16(&packet, secondControl);
    packet += std::string("\x02\xFF", 2);  // stop showing
    return packet;
}

// One 2048-byte program stream pack: private stream 1, substream 0x20, PTS 0.
std::string VobSubPack(const std::string& subpicture)
{
    const std::string header("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14);
    std::string payload("\x81\x80\x05\x21\x00\x01\x00\x01\x20", 9);
    payload += subpicture;
    std::string pack = header + std::string("\x00\x00\x01\xBD", 4);
    Put16(&pack, static_cast<int>(payload.size()));
    pack += payload;
    const int padding = 2048 - static_cast<int>(pack.size()) - 6;
    pack += std::string("\x00\x00\x01\xBE", 4);
    Put16(&pack, padding);
    return pack + std::string(static_cast<size_t>(padding), '\xFF');
}

std::string MakeVob(const testing_files::TempFolder& folder, const std::string& subpicture)
{
    testing_files::WriteFileBytes(folder.File("subs.sub"), VobSubPack(subpicture));
    testing_files::WriteFileBytes(folder.File("subs.idx"),
                                  "# VobSub index file, v7\nsize: " + std::to_string(kWidth) + "x" +
                                      std::to_string(kHeight) +
                                      "\nid: en, index: 0\ntimestamp: 00:00:00:000, filepos: 000000000\n");
    const std::string vob = folder.File("title.vob");
    const bool made = testing_media::MakeMedia(
        vob, "-f lavfi -i color=c=blue:size=" + std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                 ":rate=25:duration=2 -i " + testing_media::Quoted(folder.File("subs.idx")) +
                 " -map 0 -map 1 -c:v mpeg2video -q:v 2 -c:s copy -f vob");
    return made ? vob : std::string();
}

struct DecodedRun {
    std::vector<long> events;
    std::vector<testing_media::ReceivedSample> pictures;
};

// Second demultiplexer -> MPEG-2 decoder (with or without its subpicture
// input) -> a sink that keeps the pictures.
DecodedRun Decode(const std::string& vob, bool withSubpicture)
{
    demux_testing::DemuxGraph graph(vob, CLSID_SecondDemultiplexer);
    DecodedRun run;
    if (FAILED(graph.ConnectSource())) return run;
    const ComPtr<IBaseFilter> decoder = mp4_testing::Create(CLSID_Mpeg2Decoder);
    auto* sink = new testing_media::CCollectingSink(MEDIATYPE_Video);
    const ComPtr<IBaseFilter> sinkRef(sink);
    graph.h.Add(decoder.Get(), "MPEG-2 Decoder");
    graph.h.Add(sink, "Sink");
    auto connect = [&](IBaseFilter* from, const char* out, IBaseFilter* to, const char* in) {
        return graph.h.graph->ConnectDirect(NamedPin(from, out).Get(), NamedPin(to, in).Get(), nullptr);
    };
    EXPECT_EQ(S_OK, connect(graph.demultiplexer.Get(), "Video", decoder.Get(), "In"));
    if (withSubpicture) {
        EXPECT_EQ(S_OK, connect(graph.demultiplexer.Get(), "Subpicture (ID 189/32 @ Prog# 0)", decoder.Get(),
                                "SubPicture In"));
    }
    EXPECT_EQ(S_OK, graph.h.graph->ConnectDirect(NamedPin(decoder.Get(), "Out").Get(),
                                                 graph.h.Pin(sink, PINDIR_INPUT), nullptr));
    run.events = graph.Run();
    run.pictures = sink->Samples();
    return run;
}

struct Difference {
    int inside = 0;   // luma samples of the box that differ
    int outside = 0;  // and elsewhere
};

Difference Compare(const std::string& picture, const std::string& plain)
{
    Difference difference;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const size_t at = static_cast<size_t>(y) * kWidth + x;
            if (picture[at] == plain[at]) continue;
            const bool inBox = x >= kBoxX && x < kBoxX + kBoxWidth && y >= kBoxY && y < kBoxY + kBoxHeight;
            ++(inBox ? difference.inside : difference.outside);
        }
    }
    return difference;
}

class SubpictureBlend : public testing::Test {
protected:
    void SetUp() override { demux_testing::RegisterEverything(); }
    testing_files::TempFolder m_folder;
};

TEST_F(SubpictureBlend, ShowsTheSubpictureInItsBoxWhileItIsOn)
{
    const std::string vob = MakeVob(m_folder, SubpicturePacket());
    ASSERT_FALSE(vob.empty());
    const DecodedRun blended = Decode(vob, true), plain = Decode(vob, false);
    ASSERT_EQ(EC_COMPLETE, blended.events.back());
    ASSERT_EQ(EC_COMPLETE, plain.events.back());
    ASSERT_EQ(plain.pictures.size(), blended.pictures.size());
    ASSERT_GE(plain.pictures.size(), 40u);
    const size_t lumaSize = static_cast<size_t>(kWidth) * kHeight;
    int shownFrames = 0;
    for (size_t i = 0; i < plain.pictures.size(); ++i) {
        const auto& picture = blended.pictures[i];
        ASSERT_GE(picture.bytes.size(), lumaSize);
        ASSERT_TRUE(picture.start.has_value());
        const Difference difference = Compare(picture.bytes, plain.pictures[i].bytes);
        EXPECT_EQ(0, difference.outside) << "frame " << i;
        // The VOB carries the subpicture after the first pictures' video:
        // it must show on those all the same.
        const REFERENCE_TIME start = *picture.start;
        if (start + kFrame <= kShownUntil) {
            EXPECT_EQ(kBoxWidth * kBoxHeight, difference.inside) << "frame " << i;
            ++shownFrames;
        }
        if (start >= kShownUntil) {
            EXPECT_EQ(0, difference.inside) << "frame " << i;
            EXPECT_EQ(picture.bytes, plain.pictures[i].bytes) << "frame " << i;
        }
    }
    EXPECT_EQ(25, shownFrames);
}

// Subpicture packets that do not decode leave the pictures alone and the run completes.
TEST_F(SubpictureBlend, BrokenSubpicturesPassThePicturesUnchanged)
{
    const std::string whole = SubpicturePacket();
    std::string sizeBeyondData = whole;
    sizeBeyondData[0] = '\x7F';
    std::string controlOutside = whole;
    controlOutside[2] = '\x7F';
    const std::string garbage = testing_files::PatternBytes(200, 7);
    for (const std::string& packet : {sizeBeyondData, controlOutside, garbage}) {
        testing_files::TempFolder folder;
        const std::string vob = MakeVob(folder, packet);
        ASSERT_FALSE(vob.empty());
        const DecodedRun blended = Decode(vob, true), plain = Decode(vob, false);
        ASSERT_EQ(EC_COMPLETE, blended.events.back());
        ASSERT_EQ(plain.pictures.size(), blended.pictures.size());
        for (size_t i = 0; i < plain.pictures.size(); ++i)
            EXPECT_EQ(plain.pictures[i].bytes, blended.pictures[i].bytes) << "frame " << i;
    }
}

}  // namespace
