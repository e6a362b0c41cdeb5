// The frame-rate converter: raw video in, the same raw video out at a
// constant frame rate.
//
// IModuleConfig parameter FrameRate (read when the output connects and
// when streaming starts), in hundredths of a frame per second:
// - 0 (default): frames pass through unchanged.
// - v > 0: v / 100 fps (2500 = 25 fps), from 1 to 240 fps.
// - v < 0: the NTSC rate near |v| / 100, that is round(|v| / 100) * 1000 /
//   1001 fps: -2997 (sent as the bits 0xFFFFF44B) is 30000/1001, -2397 is
//   24000/1001, -5994 is 60000/1001.
//
// Output frame n starts at first input time + n * frame duration, computed
// exactly (no drift), and shows the input frame whose start is nearest to
// that time: frames are repeated or dropped as needed. At the end of the
// stream the last frame fills the slots up to its end time.
#pragma once

#include <vector>

#include "components/common/media_format.h"
#include "components/common/module_config.h"
#include "platform/dshow/transform_filter.h"

// The output rate for a FrameRate value; {0, 1} for 0 (pass through).
AVRational FrameRateFromHundredths(int32_t hundredths);

class CFrameRateConverter final : public CTransformFilter {
public:
    CFrameRateConverter();

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT StartStreaming() override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

    // Streaming thread, streaming lock held.
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    RawVideoFormat OutputFormat(const RawVideoFormat& input) const;
    // Start time of output slot n.
    REFERENCE_TIME SlotTime(int64_t slot) const;
    // Delivers the held frame in every slot that starts before `boundary`.
    StreamResult DeliverHeldUntil(REFERENCE_TIME boundary);
    // Forgets the held frame and the time line (a new run or segment).
    void ResetTimeline();

    CModuleConfig m_config;

    // Streaming state, guarded by the streaming lock.
    AVRational m_rate{0, 1};
    REFERENCE_TIME m_inputFrameTime = 0;
    bool m_holding = false;
    std::vector<BYTE> m_held;
    REFERENCE_TIME m_heldStart = 0, m_heldEnd = 0;
    REFERENCE_TIME m_origin = 0;
    int64_t m_nextSlot = 0;
};
