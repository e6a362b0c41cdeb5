// Seeking passed upstream: a filter's output pin (or a renderer) answers
// IMediaSeeking by asking the pin that feeds its input, so the application's
// questions about duration and position travel to the source that knows.
#pragma once

#include <mutex>
#include <optional>

#include "platform/dshow/graph_interfaces.h"

class CPosPassThru : public CUnknown, public IMediaSeeking {
public:
    // `owner` keeps this object alive; `input` is the pin whose peer is asked.
    CPosPassThru(const char* objectName, CUnknown* owner, IPin* input);
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

protected:
    // The upstream pin's IMediaSeeking; E_NOTIMPL when it has none.
    HRESULT GetPeerSeeking(ComPtr<IMediaSeeking>* seeking);

private:
    IPin* const m_input;  // belongs to the same filter, so no reference is kept
};

// A renderer's pass-through that also knows the current position: the start
// time of the latest sample it rendered, or the stop position after the end.
class CRendererPosPassThru final : public CPosPassThru {
public:
    CRendererPosPassThru(const char* objectName, CUnknown* owner, IPin* input);

    HRESULT GetCurrentPosition(LONGLONG* current) override;

    // Streaming thread: the sample that was just rendered.
    void RegisterMediaTime(REFERENCE_TIME start);
    void EndOfStream();
    // A new run or a flush forgets the position.
    void ResetMediaTime();

private:
    std::mutex m_lock;
    std::optional<REFERENCE_TIME> m_mediaTime;
    bool m_ended = false;
};
