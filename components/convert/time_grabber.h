// The Time Grabber: a pass-through placed in front of an encoder whose only
// job is to tell the application how far the stream has come.
//
// Pins, in EnumPins order: "In" (any type), "Out" (the input's type). Every
// sample travels on unchanged; ITimeGrabber reports the start time of the
// latest one. The time is written on the streaming thread and read on any
// thread.
#pragma once

#include <atomic>

#include "components/component_ids.h"
#include "components/component_interfaces.h"
#include "platform/dshow/transform_filter.h"


class CTimeGrabber final : public CTransInPlaceFilter, public ITimeGrabber {
public:
    CTimeGrabber();
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT GetMediaTime(LONGLONG* time) override;

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT StartStreaming() override;
    HRESULT Transform(IMediaSample* sample) override;
    using CTransInPlaceFilter::Transform;

private:
    std::atomic<LONGLONG> m_latest{0};
};
