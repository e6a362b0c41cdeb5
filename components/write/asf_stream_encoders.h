// The encoders behind the WM ASF writer's two inputs: raw samples in,
// packets of the profile's stream out (in the codec's time base).
//
// Video (WMV2): every frame is scaled to the profile's size keeping its
// display aspect (CLetterbox) and the stream is set to the profile's frame
// rate: each output frame shows the latest input frame that started by its
// time, so frames are repeated or dropped as the rates differ. The profile's
// VBR quality (0 to 100) becomes a fixed quantiser, 31 - quality * 0.29
// clamped to 2..31 (quality 97: 3); without VBR its bit rate is the target.
//
// Audio (WMA v2): resampled to the profile's rate and channels
// (CAudioFrameQueue) and encoded at its bit rate.
//
// Output times start where the first sample's start time says, so the two
// streams stay in step. No locking: one streaming thread uses each encoder.
#pragma once

#include <memory>
#include <vector>

#include "components/common/ffmpeg_support.h"
#include "components/common/media_format.h"
#include "components/write/wm_profile.h"
#include "platform/dshow/pin_interfaces.h"

class CAsfStreamEncoder {
public:
    virtual ~CAsfStreamEncoder() = default;

    // Encodes what `sample` holds; appends the packets that are ready.
    virtual HRESULT Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets) = 0;
    // The input has ended: appends everything still held.
    virtual HRESULT Finish(std::vector<AvPacketPtr>* packets) = 0;

    // The opened codec (for the muxer's stream and the packets' time base).
    const AVCodecContext& Codec() const { return *m_codec; }

protected:
    AvCodecContextPtr m_codec;
};

HRESULT CreateAsfVideoEncoder(const RawVideoFormat& input, const WmVideoStream& stream,
                              std::unique_ptr<CAsfStreamEncoder>* encoder);
HRESULT CreateAsfAudioEncoder(const RawAudioFormat& input, const WmAudioStream& stream,
                              std::unique_ptr<CAsfStreamEncoder>* encoder);
