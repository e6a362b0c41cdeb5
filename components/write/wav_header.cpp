#include "components/write/wav_header.h"

#include <limits>

namespace {

constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kJunkSize = 28;  // what a ds64 chunk without a table takes
constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();

// Little-endian fields, appended in order.
class ChunkWriter {
public:
    void Tag(const char (&tag)[5])
    {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<uint8_t>(tag[i]));
    }
    void U16(uint16_t value) { Le(value, 2); }
    void U32(uint32_t value) { Le(value, 4); }
    void U64(uint64_t value) { Le(value, 8); }
    void Zeroes(size_t count) { m_bytes.resize(m_bytes.size() + count, 0); }
    void Guid(const GUID& guid)
    {
        U32(guid.Data1);
        U16(guid.Data2);
        U16(guid.Data3);
        for (uint8_t byte : guid.Data4) m_bytes.push_back(byte);
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    void Le(uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i) m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    std::vector<uint8_t> m_bytes;
};

struct FormatChunk {
    uint16_t tag;
    uint32_t size;  // 16, 18 or 40
    bool isFloat;
    bool needsFact;
};

FormatChunk ChooseFormat(const RawAudioFormat& format)
{
    const bool isFloat = format.sampleFormat == AV_SAMPLE_FMT_FLT;
    const int bits = 8 * av_get_bytes_per_sample(format.sampleFormat);
    if (format.channels > 2 || (bits > 16 && !isFloat)) return {kFormatExtensible, 40, isFloat, isFloat};
    if (isFloat) return {WAVE_FORMAT_IEEE_FLOAT, 18, true, true};
    return {WAVE_FORMAT_PCM, 16, false, false};
}

uint32_t ChannelMask(int channels)
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    const uint64_t mask = layout.order == AV_CHANNEL_ORDER_NATIVE ? layout.u.mask : 0;
    av_channel_layout_uninit(&layout);
    return static_cast<uint32_t>(mask);
}

void WriteFormat(ChunkWriter& out, const RawAudioFormat& format, const FormatChunk& chunk)
{
    const uint16_t bits = static_cast<uint16_t>(8 * av_get_bytes_per_sample(format.sampleFormat));
    const uint16_t blockAlign = static_cast<uint16_t>(format.BytesPerFrame());
    out.Tag("fmt ");
    out.U32(chunk.size);
    out.U16(chunk.tag);
    out.U16(static_cast<uint16_t>(format.channels));
    out.U32(static_cast<uint32_t>(format.sampleRate));
    out.U32(static_cast<uint32_t>(format.sampleRate) * blockAlign);
    out.U16(blockAlign);
    out.U16(bits);
    if (chunk.size == 16) return;
    out.U16(static_cast<uint16_t>(chunk.size - 18));  // cbSize
    if (chunk.tag != kFormatExtensible) return;
    out.U16(bits);  // valid bits
    out.U32(ChannelMask(format.channels));
    // KSDATAFORMAT_SUBTYPE_PCM / _IEEE_FLOAT: the format tag in the base GUID.
    out.Guid(GuidFromFourCC(chunk.isFloat ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM));
}

}  // namespace

std::vector<uint8_t> WavHeader(const RawAudioFormat& format, uint64_t dataBytes)
{
    const FormatChunk chunk = ChooseFormat(format);
    const uint64_t headerSize = 12 + (8 + kJunkSize) + (8 + chunk.size) + (chunk.needsFact ? 12 : 0) + 8;
    const uint64_t pad = dataBytes & 1;  // chunks are word-aligned
    const uint64_t riffSize = headerSize - 8 + dataBytes + pad;
    const uint64_t frames = format.BytesPerFrame() > 0 ? dataBytes / static_cast<uint64_t>(format.BytesPerFrame()) : 0;
    const bool rf64 = riffSize > kMax32;

    ChunkWriter out;
    out.Tag(rf64 ? "RF64" : "RIFF");
    out.U32(static_cast<uint32_t>(rf64 ? kMax32 : riffSize));
    out.Tag("WAVE");
    if (rf64) {
        out.Tag("ds64");
        out.U32(kJunkSize);
        out.U64(riffSize);
        out.U64(dataBytes);
        out.U64(frames);
        out.U32(0);  // no table of other chunk sizes
    } else {
        out.Tag("JUNK");
        out.U32(kJunkSize);
        out.Zeroes(kJunkSize);
    }
    WriteFormat(out, format, chunk);
    if (chunk.needsFact) {
        out.Tag("fact");
        out.U32(4);
        out.U32(static_cast<uint32_t>(rf64 ? kMax32 : frames));
    }
    out.Tag("data");
    out.U32(static_cast<uint32_t>(rf64 ? kMax32 : dataBytes));
    return out.Take();
}
