// The video discard filter: a sink for the video of an item whose output
// keeps only the sound. It takes any video, throws it away and, like every
// sink, reports EC_COMPLETE once its stream has ended.
//
// One pin, "In". IVideoDiscard narrows what the pin accepts; call it before
// connecting (application thread).
#pragma once

#include <mutex>

#include "components/component_ids.h"
#include "components/component_interfaces.h"
#include "platform/dshow/base_renderer.h"


class CVideoDiscard final : public CBaseRenderer, public IVideoDiscard {
public:
    CVideoDiscard();
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    HRESULT SetMediaTypes(GUID major, GUID sub) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    // Nothing is shown, so nothing is worth waiting for.
    bool RendersInTime() const override { return false; }

private:
    std::mutex m_typeLock;
    GUID m_major = MEDIATYPE_Video;  // guarded by m_typeLock
    GUID m_sub = GUID_NULL;          // guarded by m_typeLock
};
