// The video scaler: I420 frames in, I420 frames of the configured size out.
//
// IModuleConfig parameters (read when the output connects and when
// streaming starts; commit them before connecting):
// - ScalerWidth, ScalerHeight: the output frame size, 2 to 8192. If either
//   is 0 (the format dialog's "source" size) the input size passes through.
// - ScalerKeepAspect: 1 (default) fits the picture into the frame keeping
//   its display aspect ratio and fills the rest with black (letterbox or
//   pillarbox); 0 stretches it over the whole frame.
// - ScalerFullHd: 1 (sent for a target of exactly 1920x1080) asks for the
//   sharper Lanczos filter, worth its cost when the target keeps full-HD
//   detail; 0 (default) uses bicubic, which costs less than half as much at
//   1080p -> 1024x576, where the extra sharpness hardly shows.
// The output's display aspect ratio is its frame's (square pixels); sample
// times pass through unchanged.
#pragma once

#include "components/common/media_format.h"
#include "components/common/module_config.h"
#include "components/common/picture_converter.h"
#include "platform/dshow/transform_filter.h"

class CScaler final : public CTransformFilter {
public:
    CScaler();

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

private:
    // The output format the committed parameters give for `input`.
    RawVideoFormat OutputFormat(const RawVideoFormat& input) const;

    CModuleConfig m_config;

    // Streaming state, guarded by the streaming lock.
    SwsContextPtr m_context;
    RawVideoFormat m_input, m_output;
    LetterboxRect m_picture;
};
