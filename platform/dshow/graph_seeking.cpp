// The graph's IMediaSeeking: every question goes to the sinks, whose seeking
// passes upstream to the sources that know.
#include <algorithm>

#include "platform/dshow/filter_graph.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/media_time_format.h"

std::vector<ComPtr<IMediaSeeking>> CFilterGraph::SinkSeekers() const
{
    std::vector<ComPtr<IMediaSeeking>> seekers;
    for (const auto& sink : Sinks()) {
        if (auto seeking = sink.As<IMediaSeeking>()) {
            seekers.push_back(seeking);
            continue;
        }
        // A sink without seeking of its own: ask what feeds it.
        for (const auto& input : PinsOf(sink.Get(), PINDIR_INPUT)) {
            ComPtr<IPin> peer;
            if (FAILED(input->ConnectedTo(peer.ReleaseAndGetAddressOf()))) continue;
            if (auto seeking = peer.As<IMediaSeeking>()) {
                seekers.push_back(seeking);
                break;
            }
        }
    }
    return seekers;
}

namespace {

// Asks every seeker for one value; the answer combines those that replied.
template <class Query, class Combine>
HRESULT AskAll(const std::vector<ComPtr<IMediaSeeking>>& seekers, LONGLONG* result, Query query, Combine combine)
{
    if (!result) return E_POINTER;
    HRESULT outcome = E_NOTIMPL;
    for (const auto& seeking : seekers) {
        LONGLONG value;
        const HRESULT hr = query(seeking.Get(), &value);
        if (FAILED(hr)) {
            if (FAILED(outcome)) outcome = hr;
            continue;
        }
        *result = SUCCEEDED(outcome) ? combine(*result, value) : value;
        outcome = S_OK;
    }
    return outcome;
}

}  // namespace

HRESULT CFilterGraph::GetCapabilities(DWORD* capabilities)
{
    if (!capabilities) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    const auto seekers = SinkSeekers();
    if (seekers.empty()) return E_NOTIMPL;
    // The graph itself always knows a current position (its sinks track it).
    DWORD common = ~DWORD{0};
    for (const auto& seeking : seekers) {
        DWORD each = 0;
        seeking->GetCapabilities(&each);
        common &= each;
    }
    *capabilities = common | AM_SEEKING_CanGetCurrentPos;
    return S_OK;
}

HRESULT CFilterGraph::CheckCapabilities(DWORD* capabilities)
{
    if (!capabilities) return E_POINTER;
    DWORD available = 0;
    const HRESULT hr = GetCapabilities(&available);
    return FAILED(hr) ? hr : media_time_format::CheckCapabilities(available, capabilities);
}

HRESULT CFilterGraph::IsFormatSupported(const GUID* format) { return media_time_format::IsFormatSupported(format); }

HRESULT CFilterGraph::QueryPreferredFormat(GUID* format) { return GetTimeFormat(format); }

HRESULT CFilterGraph::GetTimeFormat(GUID* format) { return media_time_format::GetTimeFormat(format); }

HRESULT CFilterGraph::IsUsingTimeFormat(const GUID* format) { return IsFormatSupported(format); }

HRESULT CFilterGraph::SetTimeFormat(const GUID* format) { return media_time_format::SetTimeFormat(format); }

HRESULT CFilterGraph::GetDuration(LONGLONG* duration)
{
    std::lock_guard lock(m_graphLock);
    return AskAll(SinkSeekers(), duration, [](IMediaSeeking* s, LONGLONG* v) { return s->GetDuration(v); },
                  [](LONGLONG a, LONGLONG b) { return std::max(a, b); });
}

HRESULT CFilterGraph::GetStopPosition(LONGLONG* stop)
{
    std::lock_guard lock(m_graphLock);
    return AskAll(SinkSeekers(), stop, [](IMediaSeeking* s, LONGLONG* v) { return s->GetStopPosition(v); },
                  [](LONGLONG a, LONGLONG b) { return std::max(a, b); });
}

HRESULT CFilterGraph::GetCurrentPosition(LONGLONG* current)
{
    std::lock_guard lock(m_graphLock);
    // The slowest sink says how far the whole graph has come.
    const HRESULT hr = AskAll(SinkSeekers(), current,
                              [](IMediaSeeking* s, LONGLONG* v) { return s->GetCurrentPosition(v); },
                              [](LONGLONG a, LONGLONG b) { return std::min(a, b); });
    if (FAILED(hr) && current) {
        *current = 0;
        return S_OK;
    }
    return hr;
}

HRESULT CFilterGraph::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                        const GUID* sourceFormat)
{
    return media_time_format::ConvertTimeFormat(target, targetFormat, source, sourceFormat);
}

HRESULT CFilterGraph::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags)
{
    std::lock_guard lock(m_graphLock);
    const auto seekers = SinkSeekers();
    if (seekers.empty()) return E_NOTIMPL;
    HRESULT result = S_OK;
    for (const auto& seeking : seekers) {
        // Each sink gets its own copy: a sink may write back what it set.
        LONGLONG currentCopy = current ? *current : 0;
        LONGLONG stopCopy = stop ? *stop : 0;
        const HRESULT hr = seeking->SetPositions(current ? &currentCopy : nullptr, currentFlags,
                                                 stop ? &stopCopy : nullptr, stopFlags);
        if (FAILED(hr)) result = hr;
    }
    return result;
}

HRESULT CFilterGraph::GetPositions(LONGLONG* current, LONGLONG* stop)
{
    HRESULT hr = S_OK;
    if (current) hr = GetCurrentPosition(current);
    if (SUCCEEDED(hr) && stop) hr = GetStopPosition(stop);
    return hr;
}

HRESULT CFilterGraph::GetAvailable(LONGLONG* earliest, LONGLONG* latest)
{
    if (earliest) *earliest = 0;
    return latest ? GetDuration(latest) : S_OK;
}

HRESULT CFilterGraph::SetRate(double rate)
{
    std::lock_guard lock(m_graphLock);
    HRESULT result = E_NOTIMPL;
    for (const auto& seeking : SinkSeekers()) {
        const HRESULT hr = seeking->SetRate(rate);
        if (FAILED(hr)) return hr;
        result = hr;
    }
    return result;
}

HRESULT CFilterGraph::GetRate(double* rate)
{
    if (!rate) return E_POINTER;
    std::lock_guard lock(m_graphLock);
    for (const auto& seeking : SinkSeekers())
        if (SUCCEEDED(seeking->GetRate(rate))) return S_OK;
    *rate = 1.0;
    return S_OK;
}

HRESULT CFilterGraph::GetPreroll(LONGLONG* preroll)
{
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}
