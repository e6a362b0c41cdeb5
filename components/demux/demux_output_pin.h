// CDemuxOutputPin: one stream of the demultiplexer, one packet per sample.
//
// Its samples carry the packet's presentation time (media time from the
// container's start; none when the container gives none), its duration when
// known, the sync point flag on key frames and the preroll flag on packets
// before the start position, which decoders need but should not show.
// Each pin hands its samples to a delivery queue of its own, so a slow
// branch downstream does not hold up the others.
//
// IMediaSeeking: the duration is the container's; SetPositions moves the
// whole filter (every stream starts and stops at the same place), since one
// thread reads all streams. A pin's GetPositions reports what was set on it.
//
// Threads: connection and seeking on the application's thread; delivery on
// the demultiplexer's streaming thread only.
#pragma once

#include <optional>

#include "components/demux/container_reader.h"
#include "platform/dshow/output_pin.h"
#include "platform/dshow/source_seeking.h"

class CDemultiplexer;

class CDemuxOutputPin final : public CBaseOutputPin, public CSourceSeeking {
public:
    CDemuxOutputPin(CDemultiplexer* filter, const ContainerStream& stream, REFERENCE_TIME duration);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // Stores the positions, then lets the filter restart from them.
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;

    int StreamIndex() const { return m_stream.index; }

    struct PacketTimes {
        std::optional<REFERENCE_TIME> start, duration;
        bool preroll = false;
        bool discontinuity = false;
    };
    // Streaming thread. S_OK when delivered; VFW_E_BUFFER_OVERFLOW when the
    // packet is larger than the buffers; otherwise what downstream said.
    StreamResult DeliverPacket(const AVPacket& packet, const PacketTimes& times);

private:
    CDemultiplexer* const m_demultiplexer;
    const ContainerStream m_stream;
};
