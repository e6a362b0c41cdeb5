#include "platform/dshow/source_seeking.h"

#include <algorithm>

#include "platform/dshow/media_time_format.h"

namespace {

constexpr DWORD kSourceCapabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                                      AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetStopPos |
                                      AM_SEEKING_CanGetDuration;

// Applies one SetPositions request to a position; false if nothing changes.
bool ApplyPosition(REFERENCE_TIME* position, const LONGLONG* requested, DWORD flags)
{
    switch (flags & AM_SEEKING_PositioningBitsMask) {
    case AM_SEEKING_AbsolutePositioning: *position = *requested; return true;
    case AM_SEEKING_RelativePositioning:
    case AM_SEEKING_IncrementalPositioning: *position += *requested; return true;
    default: return false;
    }
}

}  // namespace

CSourceSeeking::CSourceSeeking(REFERENCE_TIME duration) : m_duration(duration), m_stop(duration) {}

HRESULT CSourceSeeking::GetCapabilities(DWORD* capabilities)
{
    if (!capabilities) return E_POINTER;
    *capabilities = kSourceCapabilities;
    return S_OK;
}

HRESULT CSourceSeeking::CheckCapabilities(DWORD* capabilities)
{
    return media_time_format::CheckCapabilities(kSourceCapabilities, capabilities);
}

HRESULT CSourceSeeking::IsFormatSupported(const GUID* format) { return media_time_format::IsFormatSupported(format); }

HRESULT CSourceSeeking::QueryPreferredFormat(GUID* format) { return GetTimeFormat(format); }

HRESULT CSourceSeeking::GetTimeFormat(GUID* format) { return media_time_format::GetTimeFormat(format); }

HRESULT CSourceSeeking::IsUsingTimeFormat(const GUID* format) { return IsFormatSupported(format); }

HRESULT CSourceSeeking::SetTimeFormat(const GUID* format) { return media_time_format::SetTimeFormat(format); }

HRESULT CSourceSeeking::GetDuration(LONGLONG* duration)
{
    if (!duration) return E_POINTER;
    *duration = Duration();
    return S_OK;
}

HRESULT CSourceSeeking::GetStopPosition(LONGLONG* stop)
{
    if (!stop) return E_POINTER;
    *stop = StopPosition();
    return S_OK;
}

HRESULT CSourceSeeking::GetCurrentPosition(LONGLONG*) { return E_NOTIMPL; }

HRESULT CSourceSeeking::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                          const GUID* sourceFormat)
{
    return media_time_format::ConvertTimeFormat(target, targetFormat, source, sourceFormat);
}

HRESULT CSourceSeeking::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags)
{
    bool startChanged = false;
    bool stopChanged = false;
    {
        std::lock_guard lock(m_seekLock);
        REFERENCE_TIME newStart = m_start;
        REFERENCE_TIME newStop = m_stop;
        if (current) startChanged = ApplyPosition(&newStart, current, currentFlags);
        if (stop) stopChanged = ApplyPosition(&newStop, stop, stopFlags);
        if (newStart < 0 || newStart > newStop) return E_INVALIDARG;
        m_start = newStart;
        m_stop = std::min(newStop, m_duration);
    }
    HRESULT hr = S_OK;
    if (startChanged) hr = ChangeStart();
    if (SUCCEEDED(hr) && stopChanged) hr = ChangeStop();
    return hr;
}

HRESULT CSourceSeeking::GetPositions(LONGLONG* current, LONGLONG* stop)
{
    std::lock_guard lock(m_seekLock);
    if (current) *current = m_start;
    if (stop) *stop = m_stop;
    return S_OK;
}

HRESULT CSourceSeeking::GetAvailable(LONGLONG* earliest, LONGLONG* latest)
{
    if (earliest) *earliest = 0;
    if (latest) *latest = Duration();
    return S_OK;
}

HRESULT CSourceSeeking::SetRate(double rate)
{
    if (rate <= 0) return E_INVALIDARG;
    {
        std::lock_guard lock(m_seekLock);
        m_rate = rate;
    }
    return ChangeRate();
}

HRESULT CSourceSeeking::GetRate(double* rate)
{
    if (!rate) return E_POINTER;
    std::lock_guard lock(m_seekLock);
    *rate = m_rate;
    return S_OK;
}

HRESULT CSourceSeeking::GetPreroll(LONGLONG* preroll)
{
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}

REFERENCE_TIME CSourceSeeking::StartPosition() const
{
    std::lock_guard lock(m_seekLock);
    return m_start;
}

REFERENCE_TIME CSourceSeeking::StopPosition() const
{
    std::lock_guard lock(m_seekLock);
    return m_stop;
}

REFERENCE_TIME CSourceSeeking::Duration() const
{
    std::lock_guard lock(m_seekLock);
    return m_duration;
}

void CSourceSeeking::SetDuration(REFERENCE_TIME duration)
{
    std::lock_guard lock(m_seekLock);
    const bool stopWasEnd = m_stop == m_duration;
    m_duration = duration;
    if (stopWasEnd || m_stop > duration) m_stop = duration;
}
