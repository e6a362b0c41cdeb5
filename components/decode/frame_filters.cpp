#include "components/decode/frame_filters.h"

namespace {

// One frame per frame (send_frame), at the source's rate; parity from the frame's flags.
constexpr char kDeinterlace[] = "bwdif=mode=send_frame:parity=auto:deint=interlaced";

}  // namespace

void FrameFilters::Reset()
{
    m_graph.Close();
    m_deinterlacing = false;
}

HRESULT FrameFilters::OpenFor(const AVFrame& frame)
{
    std::string filters = m_deinterlacing ? kDeinterlace : "";
    const std::string upright = UprightFilters(m_orientation);
    if (!upright.empty()) filters += (filters.empty() ? "" : ",") + upright;
    return m_graph.Open(frame, filters);
}

StreamResult FrameFilters::Filter(const AVFrame& frame, REFERENCE_TIME start, const Deliver& deliver)
{
    if (!m_input || !m_output) return StreamResult::Own(E_OUTOFMEMORY);
    const bool startsWeaving = frame.interlaced_frame && !m_deinterlacing;
    // A new chain for a new size, layout or the first interlaced frame; the old one lets its frames out first.
    if (m_graph.IsOpen() && (startsWeaving || !m_graph.Takes(frame))) {
        const StreamResult drained = Drain(deliver);
        if (!drained.Ok()) return drained;
    }
    m_deinterlacing = m_deinterlacing || frame.interlaced_frame;
    if (!m_deinterlacing && m_orientation.IsUpright()) return deliver(frame, start);
    if (!m_graph.IsOpen()) {
        const HRESULT hr = OpenFor(frame);
        if (FAILED(hr)) return StreamResult::Own(hr);
    }
    const int error = av_frame_ref(m_input.get(), &frame);
    if (error < 0) return StreamResult::Own(HResultFromAv(error));
    m_input->pts = start;
    const HRESULT pushed = m_graph.Push(m_input.get());
    av_frame_unref(m_input.get());
    if (FAILED(pushed)) return StreamResult::Own(pushed);
    return DeliverReady(deliver);
}

StreamResult FrameFilters::Drain(const Deliver& deliver)
{
    if (!m_graph.IsOpen()) return StreamResult::Own(S_OK);
    const HRESULT hr = m_graph.Push(nullptr);
    if (FAILED(hr)) return StreamResult::Own(hr);
    const StreamResult result = DeliverReady(deliver);
    m_graph.Close();
    return result;
}

StreamResult FrameFilters::DeliverReady(const Deliver& deliver)
{
    for (;;) {
        const HRESULT hr = m_graph.Pull(m_output.get());
        if (hr != S_OK) return StreamResult::Own(SUCCEEDED(hr) ? S_OK : hr);
        const StreamResult delivered = deliver(*m_output, m_output->pts);
        av_frame_unref(m_output.get());
        if (!delivered.Ok()) return delivered;
    }
}
