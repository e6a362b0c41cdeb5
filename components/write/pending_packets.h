// CPendingPackets: the packets a multiplexer holds, in arrival order, until
// it can write the file's header. The header names every stream, so it waits
// for each connected input's first sample; meanwhile the other inputs'
// packets pile up here.
//
// What legitimately waits is a few seconds of one stream while another one
// starts: audio that runs ahead of a video encoder's delay, or a source
// whose video begins a little after its audio. An input that never delivers
// would make the queue grow for ever, so it is bounded, and a packet that
// would pass a bound is refused with MUX_E_PENDING_OVERFLOW.
//
// No locking: the owner serialises calls.
#pragma once

#include <cstddef>
#include <deque>

#include "components/common/ffmpeg_support.h"
#include "components/component_interfaces.h"

class CPendingPackets {
public:
    // 64 MB hold 25 seconds of 20 Mbit/s video, far more than any encoder's
    // delay or a stream's late start, and little for a desktop machine.
    static constexpr size_t kMaxBytes = size_t{64} << 20;
    // Small or empty packets escape the byte bound, yet each costs a few
    // hundred bytes of bookkeeping: 4096 are over a minute of 60 frames or
    // 47 audio packets a second.
    static constexpr size_t kMaxCount = 4096;

    struct Entry {
        int input;
        AvPacketPtr packet;
    };

    // Queues `input`'s `packet`; MUX_E_PENDING_OVERFLOW, dropping it, when it
    // would pass a bound.
    HRESULT Push(int input, AvPacketPtr packet);
    bool Empty() const { return m_entries.empty(); }
    // The oldest packet; the queue must not be empty.
    Entry PopFront();
    void Clear();

private:
    std::deque<Entry> m_entries;
    size_t m_bytes = 0;
};
