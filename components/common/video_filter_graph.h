// VideoFilterGraph: a chain of libavfilter's video filters ("bwdif,...",
// "transpose=clock") between a buffer source and a buffer sink, for frames
// of one size and pixel layout. Frames leave in the layout they came in
// (libavfilter converts around a filter that needs another one), with
// their times in media time (100 ns units), whatever the filters do to
// the time base.
//
// Not thread-safe: one streaming thread uses an instance.
#pragma once

#include <memory>
#include <string>

#include "components/common/ffmpeg_support.h"

struct AVFilterGraph;
struct AVFilterContext;

class VideoFilterGraph {
public:
    // Builds the chain for frames shaped like `like`; a new Open replaces
    // the old chain and what it held.
    HRESULT Open(const AVFrame& like, const std::string& filters);
    void Close();
    bool IsOpen() const { return m_graph != nullptr; }
    // Whether `frame` has the size and layout the chain was built for.
    bool Takes(const AVFrame& frame) const;

    // Hands in a frame whose pts is in media time; nullptr ends the input,
    // so that the frames the filters hold back come out.
    HRESULT Push(const AVFrame* frame);
    // S_OK with the next frame in `frame`, S_FALSE when none is ready (or,
    // after the end, none is left).
    HRESULT Pull(AVFrame* frame);

private:
    struct GraphDeleter {
        void operator()(AVFilterGraph* graph) const;
    };

    std::unique_ptr<AVFilterGraph, GraphDeleter> m_graph;
    AVFilterContext* m_source = nullptr;  // owned by m_graph
    AVFilterContext* m_sink = nullptr;
    int m_width = 0, m_height = 0, m_format = -1;
};
