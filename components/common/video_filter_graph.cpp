#include "components/common/video_filter_graph.h"

#include <cstdio>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace {

struct InOutDeleter {
    void operator()(AVFilterInOut* list) const { avfilter_inout_free(&list); }
};
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutDeleter>;

// One open end of the chain, named as the graph's description names it.
InOutPtr Endpoint(const char* name, AVFilterContext* filter)
{
    InOutPtr end(avfilter_inout_alloc());
    if (!end) return end;
    end->name = av_strdup(name);
    end->filter_ctx = filter;
    end->pad_idx = 0;
    end->next = nullptr;
    if (!end->name) end.reset();
    return end;
}

}  // namespace

void VideoFilterGraph::GraphDeleter::operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }

void VideoFilterGraph::Close()
{
    m_graph.reset();
    m_source = m_sink = nullptr;
}

bool VideoFilterGraph::Takes(const AVFrame& frame) const
{
    return frame.width == m_width && frame.height == m_height && frame.format == m_format;
}

HRESULT VideoFilterGraph::Open(const AVFrame& like, const std::string& filters)
{
    Close();
    std::unique_ptr<AVFilterGraph, GraphDeleter> graph(avfilter_graph_alloc());
    if (!graph) return E_OUTOFMEMORY;
    const AVRational pixel = like.sample_aspect_ratio.num > 0 ? like.sample_aspect_ratio : AVRational{1, 1};
    char arguments[160];
    std::snprintf(arguments, sizeof arguments, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                  like.width, like.height, like.format, kMediaTimeBase.num, kMediaTimeBase.den, pixel.num, pixel.den);
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    int error = avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", arguments, nullptr,
                                             graph.get());
    if (error >= 0)
        error = avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                             graph.get());
    // The frames leave in the layout the decoder negotiated for them.
    const AVPixelFormat formats[] = {static_cast<AVPixelFormat>(like.format), AV_PIX_FMT_NONE};
    if (error >= 0)
        error = av_opt_set_int_list(sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    if (error < 0) return HResultFromAv(error);
    // The description's unnamed input is fed by the source; its output feeds the sink.
    InOutPtr outputs = Endpoint("in", source);
    InOutPtr inputs = Endpoint("out", sink);
    if (!outputs || !inputs) return E_OUTOFMEMORY;
    AVFilterInOut* openInputs = inputs.release();
    AVFilterInOut* openOutputs = outputs.release();
    error = avfilter_graph_parse_ptr(graph.get(), filters.c_str(), &openInputs, &openOutputs, nullptr);
    avfilter_inout_free(&openInputs);
    avfilter_inout_free(&openOutputs);
    if (error >= 0) error = avfilter_graph_config(graph.get(), nullptr);
    if (error < 0) return HResultFromAv(error);
    m_graph = std::move(graph);
    m_source = source;
    m_sink = sink;
    m_width = like.width;
    m_height = like.height;
    m_format = like.format;
    return S_OK;
}

HRESULT VideoFilterGraph::Push(const AVFrame* frame)
{
    if (!m_source) return E_UNEXPECTED;
    return HResultFromAv(av_buffersrc_write_frame(m_source, frame));
}

HRESULT VideoFilterGraph::Pull(AVFrame* frame)
{
    if (!m_sink) return E_UNEXPECTED;
    const int error = av_buffersink_get_frame(m_sink, frame);
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return S_FALSE;
    if (error < 0) return HResultFromAv(error);
    frame->pts = ToMediaTime(frame->pts, av_buffersink_get_time_base(m_sink));
    return S_OK;
}
