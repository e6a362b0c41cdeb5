// The interfaces of filters: state, pins, and the file source and sink roles.
#pragma once

#include "platform/dshow/pin_interfaces.h"

struct IFilterGraph;

struct FILTER_INFO {
    OLECHAR achName[MAX_FILTER_NAME];
    IFilterGraph* pGraph;  // the caller releases it
};

struct IReferenceClock : IUnknown {
    static constexpr IID iid = MakeGuid("{56A86897-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT GetTime(REFERENCE_TIME* time) = 0;

protected:
    ~IReferenceClock() = default;
};

struct IMediaFilter : IPersist {
    static constexpr IID iid = MakeGuid("{56A86899-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    // `start` is the clock time that stream time zero maps to.
    virtual HRESULT Run(REFERENCE_TIME start) = 0;
    // VFW_S_STATE_INTERMEDIATE when a transition had not finished within `timeoutMs`.
    virtual HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) = 0;
    // nullptr: no clock, so samples are passed on as fast as they come.
    virtual HRESULT SetSyncSource(IReferenceClock* clock) = 0;
    virtual HRESULT GetSyncSource(IReferenceClock** clock) = 0;

protected:
    ~IMediaFilter() = default;
};

struct IBaseFilter : IMediaFilter {
    static constexpr IID iid = MakeGuid("{56A86895-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT EnumPins(IEnumPins** pins) = 0;
    virtual HRESULT FindPin(LPCOLESTR id, IPin** pin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO* info) = 0;
    // The graph holds the filter; the filter keeps a plain pointer back.
    virtual HRESULT JoinFilterGraph(IFilterGraph* graph, LPCOLESTR name) = 0;
    virtual HRESULT QueryVendorInfo(LPOLESTR* info) = 0;

protected:
    ~IBaseFilter() = default;
};

// Releases what QueryPinInfo and QueryFilterInfo hand out.
void ReleasePinInfo(PIN_INFO& info);
void ReleaseFilterInfo(FILTER_INFO& info);

inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_RENDERER = 0x1;
inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_SOURCE = 0x2;

// Tells the graph which filters end streams (and so must report EC_COMPLETE).
struct IAMFilterMiscFlags : IUnknown {
    static constexpr IID iid = MakeGuid("{2DD74950-A890-11D1-ABE8-00A0C905F375}");
    virtual ULONG GetMiscFlags() = 0;

protected:
    ~IAMFilterMiscFlags() = default;
};

struct IFileSourceFilter : IUnknown {
    static constexpr IID iid = MakeGuid("{56A868A6-0AD4-11CE-B03A-0020AF0BA770}");
    virtual HRESULT Load(LPCOLESTR fileName, const AM_MEDIA_TYPE* type) = 0;
    // `fileName` is CoTaskMemAlloc'ed; `type` (optional) is filled in.
    virtual HRESULT GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type) = 0;

protected:
    ~IFileSourceFilter() = default;
};

struct IFileSinkFilter : IUnknown {
    static constexpr IID iid = MakeGuid("{A2104830-7C70-11CF-8BCE-00AA00A3F1A6}");
    virtual HRESULT SetFileName(LPCOLESTR fileName, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetCurFile(LPOLESTR* fileName, AM_MEDIA_TYPE* type) = 0;

protected:
    ~IFileSinkFilter() = default;
};

inline constexpr IID IID_IMediaFilter = IMediaFilter::iid;
inline constexpr IID IID_IBaseFilter = IBaseFilter::iid;
inline constexpr IID IID_IPin = IPin::iid;
inline constexpr IID IID_IFileSourceFilter = IFileSourceFilter::iid;
inline constexpr IID IID_IFileSinkFilter = IFileSinkFilter::iid;
