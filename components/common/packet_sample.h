// An encoded packet as a media sample, the one convention the encoders
// write and the multiplexer reads:
// - start time = the packet's presentation time, end time = start plus its
//   duration (all in 100 ns units; the start may be negative for an audio
//   encoder's priming samples);
// - media time = (dts, dts), the decoding time in 100 ns units, since
//   with B-frames the packets arrive in decoding order, not by start time;
// - sync point = key frame.
// Round trips through 100 ns are exact for any codec time base coarser than
// 100 ns, so the multiplexer gets the encoder's own timestamps back.
#pragma once

#include "components/common/ffmpeg_support.h"
#include "platform/dshow/pin_interfaces.h"

// The time base for frames of `timePerFrame` (100 ns units), with a
// denominator small enough for every codec and container (at most 65535);
// 1/90000 when the frame rate is unknown.
AVRational FrameTimeBase(REFERENCE_TIME timePerFrame);

// Copies `packet` (timestamps in `timeBase`) into `sample`;
// VFW_E_BUFFER_OVERFLOW when it does not fit.
HRESULT PacketToSample(const AVPacket& packet, AVRational timeBase, IMediaSample* sample);

// Fills `packet` from `sample`, timestamps in `timeBase`. A sample without a
// media time takes its start time as its decoding time.
HRESULT SampleToPacket(IMediaSample* sample, AVRational timeBase, AVPacket* packet);
