// CSourceSeeking: IMediaSeeking for a source pin that knows its duration and
// can start and stop anywhere (trimming). The pin inherits it beside its
// output pin base and hands it out from NonDelegatingQueryInterface.
//
// Override points: ChangeStart, ChangeStop and ChangeRate, called after a
// position or rate changed (with no lock held).
#pragma once

#include <mutex>

#include "platform/dshow/graph_interfaces.h"

class CSourceSeeking : public IMediaSeeking {
public:
    explicit CSourceSeeking(REFERENCE_TIME duration);

    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    // Sources do not know what has been played; renderers answer this.
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

    REFERENCE_TIME StartPosition() const;
    REFERENCE_TIME StopPosition() const;
    REFERENCE_TIME Duration() const;
    void SetDuration(REFERENCE_TIME duration);

protected:
    virtual HRESULT ChangeStart() { return S_OK; }
    virtual HRESULT ChangeStop() { return S_OK; }
    virtual HRESULT ChangeRate() { return S_OK; }

private:
    mutable std::mutex m_seekLock;
    REFERENCE_TIME m_duration;
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_stop;
    double m_rate = 1.0;
};
