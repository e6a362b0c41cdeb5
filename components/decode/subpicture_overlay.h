// SubpictureOverlay: DVD subpictures (MEDIASUBTYPE_DVD_SUBPICTURE packets,
// as the demultiplexer delivers them) decoded with libavcodec's dvdsub
// decoder and alpha-blended onto packed I420 pictures.
//
// A subpicture shows from its packet's time plus its start delay until its
// stop delay, or until the next subpicture when it has none. A picture gets
// the latest subpicture showing at its start time. Without the disc's
// palette the decoder guesses one from the contrast values, as players do.
// Rectangles are in the picture's own pixels (a DVD's subpictures are made
// for its frame size); whatever lies outside the picture is clipped.
//
// Bad packets never fail the stream: a subpicture that does not decode is
// dropped and the pictures pass unchanged.
//
// Threads: Add runs on the subpicture stream's thread, Blend on the video
// streaming thread, Reset on either or the application's. One internal lock
// guards everything; it is a leaf (nothing is called out while it is held).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "components/common/ffmpeg_support.h"

class SubpictureOverlay {
public:
    SubpictureOverlay() = default;
    SubpictureOverlay(const SubpictureOverlay&) = delete;
    SubpictureOverlay& operator=(const SubpictureOverlay&) = delete;

    // Decodes one packet: a whole subpicture or a part of one (only the
    // first part of a subpicture carries a time). E_OUTOFMEMORY is the only
    // failure.
    HRESULT Add(const BYTE* data, int size, std::optional<REFERENCE_TIME> time);
    // Blends the subpicture that shows at `time` into a packed I420 picture.
    void Blend(BYTE* picture, int width, int height, REFERENCE_TIME time);
    // Forgets every subpicture and any partly received one (flush, stop).
    void Reset();

private:
    // A palette entry in the picture's terms: BT.601 studio range.
    struct YuvAlpha {
        uint8_t y, u, v, alpha;
    };
    struct Area {
        int x, y, width, height;
        std::vector<uint8_t> indices;  // width * height palette indices
        std::vector<YuvAlpha> palette;
    };
    struct Shown {
        REFERENCE_TIME start, end;
        std::vector<Area> areas;
    };

    struct PackedI420 {
        BYTE *luma, *cb, *cr;
        int width, height, chromaWidth;
    };

    static void BlendArea(const Area& area, const PackedI420& target);
    // Lock held.
    HRESULT OpenDecoder();
    void Keep(const AVSubtitle& subtitle, REFERENCE_TIME packetTime);
    const Shown* ShownAt(REFERENCE_TIME time);

    std::mutex m_lock;
    AvCodecContextPtr m_decoder;
    AvPacketPtr m_packet;
    std::optional<REFERENCE_TIME> m_packetTime;  // of the subpicture being received
    std::deque<Shown> m_shown;                   // by start time
};
