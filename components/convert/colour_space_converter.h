// CColourSpaceConverter (CLSID_ColourSpaceConverter): raw video of any pixel
// layout media_format describes, other than I420, becomes I420 of the same
// size, with libswscale; one frame in, one frame out, times kept.
//
// Registered for intelligent connect at MERIT_UNLIKELY for any video, so a
// decoder whose pictures are not I420 still reaches an encoder's input;
// compressed and I420 input is refused at once.
#pragma once

#include "components/common/media_format.h"
#include "components/common/picture_converter.h"
#include "platform/dshow/transform_filter.h"

class CColourSpaceConverter final : public CTransformFilter {
public:
    CColourSpaceConverter();

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

private:
    // Set when the pins connect.
    RawVideoFormat m_inputFormat;
    RawVideoFormat m_outputFormat;
    PictureConverter m_converter;  // streaming lock held
};

void RegisterColourSpaceConverter();
