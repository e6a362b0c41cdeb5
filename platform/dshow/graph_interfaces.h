// The interfaces of the filter graph manager and the plugin control.
#pragma once

#include "platform/dshow/filter_interfaces.h"

struct IEnumFilters : IUnknown {
    static constexpr IID iid = MakeGuid("{56A86893-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT Next(ULONG count, IBaseFilter** filters, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFilters** copy) = 0;

protected:
    ~IEnumFilters() = default;
};

struct IFilterGraph : IUnknown {
    static constexpr IID iid = MakeGuid("{56A8689F-0AD4-11CE-B03A-0020AF0BA770}");
    // A taken name gets a number appended, with VFW_S_DUPLICATE_NAME.
    virtual HRESULT AddFilter(IBaseFilter* filter, LPCOLESTR name) = 0;
    virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
    // Newest filter first.
    virtual HRESULT EnumFilters(IEnumFilters** filters) = 0;
    virtual HRESULT FindFilterByName(LPCOLESTR name, IBaseFilter** filter) = 0;
    // Connects the two pins alone, with no filter in between.
    virtual HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT Disconnect(IPin* pin) = 0;
    virtual HRESULT SetDefaultSyncSource() = 0;

protected:
    ~IFilterGraph() = default;
};

struct IGraphBuilder : IFilterGraph {
    static constexpr IID iid = MakeGuid("{56A868A9-0AD4-11CE-B03A-0020AF0BA770}");
    // Directly, or through registered filters added as needed.
    virtual HRESULT Connect(IPin* output, IPin* input) = 0;
    // Ends the pin's stream in a renderer, adding the filters on the way.
    virtual HRESULT Render(IPin* output) = 0;
    virtual HRESULT AddSourceFilter(LPCOLESTR fileName, LPCOLESTR filterName, IBaseFilter** filter) = 0;

protected:
    ~IGraphBuilder() = default;
};

struct IMediaControl : IUnknown {
    static constexpr IID iid = MakeGuid("{56A868B1-0AD4-11CE-B03A-0020AF0BA770}");
    // From stopped, both refuse with VFW_E_NOT_CONNECTED a graph whose
    // streams reach no sink at all: it could never complete.
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    // Returns once every streaming thread has ended.
    virtual HRESULT Stop() = 0;
    virtual HRESULT StopWhenReady() = 0;
    // Waits at most `timeoutMs`; VFW_S_STATE_INTERMEDIATE if still changing.
    virtual HRESULT GetState(LONG timeoutMs, OAFilterState* state) = 0;

protected:
    ~IMediaControl() = default;
};

struct IMediaEvent : IUnknown {
    static constexpr IID iid = MakeGuid("{56A868B6-0AD4-11CE-B03A-0020AF0BA770}");
    // E_ABORT when no event arrived within `timeoutMs` (INFINITE waits).
    virtual HRESULT GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long timeoutMs) = 0;
    // Waits for EC_COMPLETE, EC_ERRORABORT or EC_USERABORT; E_ABORT on time-out.
    virtual HRESULT WaitForCompletion(long timeoutMs, long* code) = 0;
    virtual HRESULT FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) = 0;

protected:
    ~IMediaEvent() = default;
};

// Filters report to the graph through this.
struct IMediaEventSink : IUnknown {
    static constexpr IID iid = MakeGuid("{56A868A2-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) = 0;

protected:
    ~IMediaEventSink() = default;
};

inline constexpr DWORD AM_SEEKING_CanSeekAbsolute = 0x1;
inline constexpr DWORD AM_SEEKING_CanSeekForwards = 0x2;
inline constexpr DWORD AM_SEEKING_CanSeekBackwards = 0x4;
inline constexpr DWORD AM_SEEKING_CanGetCurrentPos = 0x8;
inline constexpr DWORD AM_SEEKING_CanGetStopPos = 0x10;
inline constexpr DWORD AM_SEEKING_CanGetDuration = 0x20;

inline constexpr DWORD AM_SEEKING_NoPositioning = 0x0;
inline constexpr DWORD AM_SEEKING_AbsolutePositioning = 0x1;
inline constexpr DWORD AM_SEEKING_RelativePositioning = 0x2;
inline constexpr DWORD AM_SEEKING_IncrementalPositioning = 0x3;
inline constexpr DWORD AM_SEEKING_PositioningBitsMask = 0x3;

// Positions in TIME_FORMAT_MEDIA_TIME (100 ns), the only format used here.
struct IMediaSeeking : IUnknown {
    static constexpr IID iid = MakeGuid("{36B73880-C2C8-11CF-8B46-00805F6CEF60}");
    virtual HRESULT GetCapabilities(DWORD* capabilities) = 0;
    // S_OK if all asked for, S_FALSE if some, E_FAIL if none.
    virtual HRESULT CheckCapabilities(DWORD* capabilities) = 0;
    virtual HRESULT IsFormatSupported(const GUID* format) = 0;
    virtual HRESULT QueryPreferredFormat(GUID* format) = 0;
    virtual HRESULT GetTimeFormat(GUID* format) = 0;
    virtual HRESULT IsUsingTimeFormat(const GUID* format) = 0;
    virtual HRESULT SetTimeFormat(const GUID* format) = 0;
    virtual HRESULT GetDuration(LONGLONG* duration) = 0;
    virtual HRESULT GetStopPosition(LONGLONG* stop) = 0;
    virtual HRESULT GetCurrentPosition(LONGLONG* current) = 0;
    virtual HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                      const GUID* sourceFormat) = 0;
    virtual HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) = 0;
    virtual HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) = 0;
    virtual HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) = 0;
    virtual HRESULT SetRate(double rate) = 0;
    virtual HRESULT GetRate(double* rate) = 0;
    virtual HRESULT GetPreroll(LONGLONG* preroll) = 0;

protected:
    ~IMediaSeeking() = default;
};

// Process-wide choice of the decoder that intelligent connect tries first
// for a media sub type.
struct IAMPluginControl : IUnknown {
    static constexpr IID iid = MakeGuid("{0E26A181-F40C-4635-8786-976284B52981}");
    virtual HRESULT GetPreferredClsid(REFGUID subType, CLSID* clsid) = 0;
    virtual HRESULT GetPreferredClsidByIndex(DWORD index, GUID* subType, CLSID* clsid) = 0;
    // nullptr `clsid` removes the preference.
    virtual HRESULT SetPreferredClsid(REFGUID subType, const CLSID* clsid) = 0;
    virtual HRESULT IsDisabled(REFCLSID clsid) = 0;
    virtual HRESULT GetDisabledByIndex(DWORD index, CLSID* clsid) = 0;
    virtual HRESULT SetDisabled(REFCLSID clsid, BOOL disabled) = 0;

protected:
    ~IAMPluginControl() = default;
};

inline constexpr IID IID_IFilterGraph = IFilterGraph::iid;
inline constexpr IID IID_IGraphBuilder = IGraphBuilder::iid;
inline constexpr IID IID_IMediaControl = IMediaControl::iid;
inline constexpr IID IID_IMediaEvent = IMediaEvent::iid;
inline constexpr IID IID_IMediaSeeking = IMediaSeeking::iid;
inline constexpr IID IID_IAMPluginControl = IAMPluginControl::iid;
