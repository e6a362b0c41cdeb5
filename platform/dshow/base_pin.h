// CBasePin: connection and media type negotiation shared by input and output pins.
//
// A pin's reference count is its filter's: a pin lives exactly as long as
// its filter. Connections are made and broken with the filter stopped, on the
// application's thread, under the filter lock.
//
// Override points: CheckMediaType (may this type be used?), GetMediaType
// (the types this pin proposes, in order of preference), SetMediaType (the
// type was agreed), CheckConnect, CompleteConnect and BreakConnect (around a
// connection), Active, Inactive and Run (the filter's state changes).
#pragma once

#include <string>

#include "platform/dshow/base_filter.h"

class CBasePin : public CUnknown, public IPin {
public:
    CBasePin(const char* objectName, CBaseFilter* filter, FilterMutex* lock, const char* pinName,
             PIN_DIRECTION direction);
    ~CBasePin() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IPin
    HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT QueryId(LPOLESTR* id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // S_OK if the type can be used on this pin.
    virtual HRESULT CheckMediaType(const CMediaType* type) = 0;
    // The `position`-th proposed type; VFW_S_NO_MORE_ITEMS past the last.
    virtual HRESULT GetMediaType(int position, CMediaType* type);
    virtual HRESULT SetMediaType(const CMediaType* type);
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT CompleteConnect(IPin* receivePin);
    virtual HRESULT BreakConnect();
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME) { return S_OK; }

    bool IsConnected() const { return static_cast<bool>(m_connected); }
    IPin* GetConnected() const { return m_connected.Get(); }
    const CMediaType& CurrentMediaType() const { return m_mediaType; }
    const std::string& Name() const { return m_name; }
    PIN_DIRECTION Direction() const { return m_direction; }
    CBaseFilter* Filter() const { return m_filter; }
    bool IsStopped() const { return m_filter->IsStopped(); }

protected:
    CBaseFilter* const m_filter;
    FilterMutex* const m_lock;
    const std::string m_name;
    const PIN_DIRECTION m_direction;
    ComPtr<IPin> m_connected;
    CMediaType m_mediaType;
    REFERENCE_TIME m_segmentStart = 0;
    REFERENCE_TIME m_segmentStop = INT64_MAX;
    double m_segmentRate = 1.0;

private:
    // The output side's half of Connect.
    HRESULT AgreeMediaType(IPin* receivePin, const CMediaType* partial);
    HRESULT TryMediaTypes(IPin* receivePin, const CMediaType* partial, IEnumMediaTypes* types);
    HRESULT AttemptConnection(IPin* receivePin, const CMediaType* type);
};
