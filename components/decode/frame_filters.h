// FrameFilters: what the video decoders do to a decoded frame before it
// leaves them, with libavfilter: fields woven into whole frames, then the
// picture turned upright (PictureOrientation).
//
// Deinterlacing starts at the first frame the decoder flags interlaced
// (top or bottom field first) and from then on runs bwdif with
// deint=interlaced, one frame out per frame in: frames flagged progressive
// pass through it unchanged, so a stream that switches between the two
// (broadcast recordings with progressive adverts, a telecined film) is
// woven only where it is interlaced. A stream that never flags a frame
// interlaced never meets the filter. bwdif holds one frame back, which
// Drain lets out at the end of the stream.
//
// Streaming lock held for everything (one streaming thread).
#pragma once

#include <functional>

#include "components/common/picture_orientation.h"
#include "components/common/video_filter_graph.h"
#include "platform/dshow/stream_result.h"

class FrameFilters {
public:
    // Receives each frame that comes out and its start time.
    using Deliver = std::function<StreamResult(const AVFrame&, REFERENCE_TIME)>;

    void SetOrientation(const PictureOrientation& orientation) { m_orientation = orientation; }
    // Before streaming and after a flush: nothing held, no deinterlacing yet.
    void Reset();
    // Filters `frame`, which starts at `start`.
    StreamResult Filter(const AVFrame& frame, REFERENCE_TIME start, const Deliver& deliver);
    // The end of the stream: what the filters hold back comes out.
    StreamResult Drain(const Deliver& deliver);

private:
    HRESULT OpenFor(const AVFrame& frame);
    StreamResult DeliverReady(const Deliver& deliver);

    PictureOrientation m_orientation;
    bool m_deinterlacing = false;
    VideoFilterGraph m_graph;
    AvFramePtr m_input = MakeFrame();
    AvFramePtr m_output = MakeFrame();
};
