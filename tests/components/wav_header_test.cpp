// WAV headers: the format chunk for each kind of raw audio, and RF64 once
// the sizes no longer fit 32 bits. ffprobe reads the headers back.
#include <gtest/gtest.h>

#include <cstring>

#include "components/write/wav_header.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

using namespace testing_media;
using testing_files::TempFolder;

namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

uint64_t U64At(const std::vector<uint8_t>& bytes, size_t at)
{
    uint64_t value;
    std::memcpy(&value, bytes.data() + at, 8);
    return value;
}

std::string TagAt(const std::vector<uint8_t>& bytes, size_t at)
{
    return std::string(reinterpret_cast<const char*>(bytes.data() + at), 4);
}

// Writes `header` and `dataBytes` of silence, for ffprobe.
void WriteWav(const std::string& path, const std::vector<uint8_t>& header, size_t dataBytes)
{
    std::string bytes(header.begin(), header.end());
    bytes.append(dataBytes, '\0');
    testing_files::WriteFileBytes(path, bytes);
}

}  // namespace

TEST(WavHeader, FormatChunkSuitsEachKindOfAudio)
{
    TempFolder folder;
    struct Case {
        const char* what;
        RawAudioFormat format;
        const char* codec;
        const char* layout;  // "unknown" where only an extensible header carries one
    } cases[] = {
        {"8-bit mono", {AV_SAMPLE_FMT_U8, 22050, 1}, "pcm_u8", "unknown"},
        {"16-bit stereo", {AV_SAMPLE_FMT_S16, 44100, 2}, "pcm_s16le", "unknown"},
        {"32-bit integers", {AV_SAMPLE_FMT_S32, 48000, 2}, "pcm_s32le", "stereo"},
        {"float stereo", {AV_SAMPLE_FMT_FLT, 48000, 2}, "pcm_f32le", "unknown"},
        {"float 5.1", {AV_SAMPLE_FMT_FLT, 48000, 6}, "pcm_f32le", "5.1"},
        {"16-bit 4.0", {AV_SAMPLE_FMT_S16, 32000, 4}, "pcm_s16le", "4.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t dataBytes = static_cast<size_t>(c.format.BytesPerFrame() * c.format.sampleRate / 2);
        const auto header = WavHeader(c.format, dataBytes);
        EXPECT_EQ(header.size(), WavHeader(c.format, 0).size()) << "the final header replaces the provisional one";
        const std::string path = folder.File("half-second.wav");
        WriteWav(path, header, dataBytes);
        const Probe probe(path);
        EXPECT_EQ(probe.Stream(0, "codec_name"), c.codec);
        EXPECT_EQ(probe.Stream(0, "sample_rate"), std::to_string(c.format.sampleRate));
        EXPECT_EQ(probe.Stream(0, "channels"), std::to_string(c.format.channels));
        EXPECT_EQ(probe.Stream(0, "channel_layout"), c.layout);
        EXPECT_NEAR(probe.Duration(), 0.5, 0.01);
    }
}

TEST(WavHeader, SizesPastFourGigabytesSwitchToRf64InsteadOfWrapping)
{
    const RawAudioFormat stereo{AV_SAMPLE_FMT_S16, 44100, 2};
    const size_t headerSize = WavHeader(stereo, 0).size();
    // The largest even data size whose RIFF size (file size - 8) fits 32 bits.
    const uint64_t largest = (0xFFFFFFFFull - (headerSize - 8)) & ~1ull;

    const auto riff = WavHeader(stereo, largest);
    EXPECT_EQ(TagAt(riff, 0), "RIFF");
    EXPECT_EQ(U32At(riff, 4), largest + headerSize - 8);
    EXPECT_EQ(TagAt(riff, 12), "JUNK") << "room kept for the ds64 chunk";
    EXPECT_EQ(U32At(riff, headerSize - 4), largest);
    EXPECT_EQ(TagAt(WavHeader(stereo, largest + 1), 0), "RF64") << "its pad byte no longer fits";

    const uint64_t huge = 5ull << 30;
    const auto rf64 = WavHeader(stereo, huge);
    ASSERT_EQ(rf64.size(), headerSize);
    EXPECT_EQ(TagAt(rf64, 0), "RF64");
    EXPECT_EQ(U32At(rf64, 4), 0xFFFFFFFFu);
    EXPECT_EQ(TagAt(rf64, 12), "ds64");
    EXPECT_EQ(U64At(rf64, 20), huge + headerSize - 8) << "RIFF size";
    EXPECT_EQ(U64At(rf64, 28), huge) << "data size";
    EXPECT_EQ(U64At(rf64, 36), huge / 4) << "sample frames";
    EXPECT_EQ(TagAt(rf64, headerSize - 8), "data");
    EXPECT_EQ(U32At(rf64, headerSize - 4), 0xFFFFFFFFu);

    // ffprobe takes the length from ds64 (the data itself is cut short here).
    TempFolder folder;
    const std::string path = folder.File("huge.wav");
    WriteWav(path, rf64, 4096);
    const Probe probe(path);
    EXPECT_EQ(probe.Stream(0, "codec_name"), "pcm_s16le");
    EXPECT_NEAR(probe.Number("streams.stream.0.duration"), double(huge) / (44100 * 4), 1.0);
}
