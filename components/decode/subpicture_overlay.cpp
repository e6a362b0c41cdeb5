#include "components/decode/subpicture_overlay.h"

#include <algorithm>
#include <cstring>

namespace {

// Subpictures kept ahead of the pictures: the demultiplexer may deliver a
// few before the video reaches them; more than this is a stream gone wrong.
constexpr size_t kMaxKept = 8;
constexpr REFERENCE_TIME kMillisecond = 10'000;

struct SubtitleGuard {
    AVSubtitle subtitle{};
    bool got = false;
    ~SubtitleGuard()
    {
        if (got) avsubtitle_free(&subtitle);
    }
};

uint8_t Clamp8(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

uint8_t Mix(uint8_t under, uint8_t over, uint8_t alpha) { return static_cast<uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255); }

}  // namespace

HRESULT SubpictureOverlay::OpenDecoder()
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE);
    if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;
    AvCodecContextPtr decoder(avcodec_alloc_context3(codec));
    m_packet = MakePacket();
    if (!decoder || !m_packet) return E_OUTOFMEMORY;
    const int result = avcodec_open2(decoder.get(), codec, nullptr);
    if (result < 0) return HResultFromAv(result);
    m_decoder = std::move(decoder);
    return S_OK;
}

HRESULT SubpictureOverlay::Add(const BYTE* data, int size, std::optional<REFERENCE_TIME> time)
{
    std::lock_guard lock(m_lock);
    if (!m_decoder) {
        const HRESULT hr = OpenDecoder();
        // No dvdsub decoder: the pictures pass without subpictures.
        if (hr != S_OK) return hr == E_OUTOFMEMORY ? hr : S_OK;
    }
    if (time) m_packetTime = time;
    if (av_new_packet(m_packet.get(), size) < 0) return E_OUTOFMEMORY;
    std::memcpy(m_packet->data, data, static_cast<size_t>(size));
    SubtitleGuard decoded;
    int got = 0;
    const int result = avcodec_decode_subtitle2(m_decoder.get(), &decoded.subtitle, &got, m_packet.get());
    av_packet_unref(m_packet.get());
    decoded.got = got != 0;
    if (result == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
    if (result >= 0 && decoded.got && m_packetTime) Keep(decoded.subtitle, *m_packetTime);
    return S_OK;
}

void SubpictureOverlay::Keep(const AVSubtitle& subtitle, REFERENCE_TIME packetTime)
{
    Shown shown;
    shown.start = packetTime + subtitle.start_display_time * kMillisecond;
    // No stop command: shown until the next subpicture.
    const bool ends = subtitle.end_display_time > subtitle.start_display_time && subtitle.end_display_time != UINT32_MAX;
    shown.end = ends ? packetTime + subtitle.end_display_time * kMillisecond : INT64_MAX;
    for (unsigned i = 0; i < subtitle.num_rects; ++i) {
        const AVSubtitleRect& rect = *subtitle.rects[i];
        if (rect.type != SUBTITLE_BITMAP || rect.w <= 0 || rect.h <= 0 || !rect.data[0] || !rect.data[1]) continue;
        Area area{rect.x, rect.y, rect.w, rect.h, {}, {}};
        area.indices.resize(static_cast<size_t>(rect.w) * rect.h);
        for (int row = 0; row < rect.h; ++row)
            std::memcpy(&area.indices[static_cast<size_t>(row) * rect.w], rect.data[0] + row * rect.linesize[0],
                        static_cast<size_t>(rect.w));
        area.palette.resize(256, YuvAlpha{16, 128, 128, 0});
        const auto* argb = reinterpret_cast<const uint32_t*>(rect.data[1]);
        for (int c = 0; c < std::min(rect.nb_colors, 256); ++c) {
            const int a = argb[c] >> 24, r = (argb[c] >> 16) & 0xFF, g = (argb[c] >> 8) & 0xFF, b = argb[c] & 0xFF;
            area.palette[c] = {Clamp8(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16),
                               Clamp8(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128),
                               Clamp8(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128), static_cast<uint8_t>(a)};
        }
        shown.areas.push_back(std::move(area));
    }
    for (Shown& earlier : m_shown) earlier.end = std::min(earlier.end, shown.start);
    m_shown.push_back(std::move(shown));
    if (m_shown.size() > kMaxKept) m_shown.pop_front();
}

const SubpictureOverlay::Shown* SubpictureOverlay::ShownAt(REFERENCE_TIME time)
{
    // Pictures come in time order: what ended before this one is done.
    while (!m_shown.empty() && m_shown.front().end <= time) m_shown.pop_front();
    const Shown* showing = nullptr;
    for (const Shown& shown : m_shown)
        if (shown.start <= time) showing = &shown;
    return showing;
}

void SubpictureOverlay::Blend(BYTE* picture, int width, int height, REFERENCE_TIME time)
{
    std::lock_guard lock(m_lock);
    const Shown* shown = ShownAt(time);
    if (!shown) return;
    const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    BYTE* const cb = picture + static_cast<size_t>(width) * height;
    const PackedI420 target{picture, cb, cb + static_cast<size_t>(chromaWidth) * chromaHeight, width, height, chromaWidth};
    for (const Area& area : shown->areas) BlendArea(area, target);
}

void SubpictureOverlay::BlendArea(const Area& area, const PackedI420& target)
{
    const int left = std::max(area.x, 0), top = std::max(area.y, 0);
    const int right = std::min(area.x + area.width, target.width), bottom = std::min(area.y + area.height, target.height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const YuvAlpha& p = area.palette[area.indices[static_cast<size_t>(y - area.y) * area.width + (x - area.x)]];
            BYTE& luma = target.luma[static_cast<size_t>(y) * target.width + x];
            luma = Mix(luma, p.y, p.alpha);
            // Each chroma sample takes the subpicture pixel at its top left.
            if (x % 2 || y % 2) continue;
            const size_t c = static_cast<size_t>(y / 2) * target.chromaWidth + x / 2;
            target.cb[c] = Mix(target.cb[c], p.u, p.alpha);
            target.cr[c] = Mix(target.cr[c], p.v, p.alpha);
        }
    }
}

void SubpictureOverlay::Reset()
{
    std::lock_guard lock(m_lock);
    m_decoder.reset();
    m_packetTime.reset();
    m_shown.clear();
}
