// CAudioFrameQueue: raw audio in, an audio encoder's packets out.
//
// Converts interleaved raw audio (components/common/media_format.h) with
// libswresample to the encoder's sample format, rate and channel layout,
// cuts it into frames of the encoder's frame size and encodes them. Frames
// carry pts counted in samples from the start pts, in the encoder's time
// base (1 / sample rate). At the end the rest goes as a short last frame
// when the encoder takes one, padded with silence otherwise.
//
// No locking: one streaming thread uses it.
#pragma once

#include <vector>

#include "components/common/ffmpeg_support.h"
#include "components/common/media_format.h"

extern "C" {
#include <libavutil/audio_fifo.h>
}

class CAudioFrameQueue {
public:
    CAudioFrameQueue();
    ~CAudioFrameQueue();
    CAudioFrameQueue(const CAudioFrameQueue&) = delete;
    CAudioFrameQueue& operator=(const CAudioFrameQueue&) = delete;

    // `encoder` is opened and must outlive the queue.
    HRESULT Open(const RawAudioFormat& input, AVCodecContext* encoder);
    // The pts of the first frame (samples in the encoder's rate).
    void SetStartPts(int64_t pts) { m_nextPts = pts; }
    // Takes `frames` interleaved audio frames of the input format and
    // appends the packets that are ready.
    HRESULT Encode(const BYTE* data, int frames, std::vector<AvPacketPtr>* packets);
    // The input has ended: encodes the rest and drains the encoder.
    HRESULT Finish(std::vector<AvPacketPtr>* packets);

private:
    struct FifoDeleter {
        void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
    };
    // Converts `frames` input frames (nullptr: flush) into the queue.
    HRESULT Convert(const BYTE* data, int frames);
    // The next frame to encode, or an empty pointer when no full frame is
    // queued (at the end: when nothing is left).
    HRESULT Pop(AvFramePtr* frame);
    HRESULT EncodeQueued(std::vector<AvPacketPtr>* packets);

    AVCodecContext* m_encoder = nullptr;
    SwrContextPtr m_resampler;
    std::unique_ptr<AVAudioFifo, FifoDeleter> m_fifo;
    int m_frameSize = 0;
    bool m_draining = false;
    int64_t m_nextPts = 0;
};
