// CAudioFormatConverter (CLSID_AudioFormatConverter): raw interleaved audio
// of any sample layout media_format describes becomes 16-bit integers
// (offered first) or 32-bit float, interleaved, at the same rate and
// channel count, with libswresample; one sample in, one sample out.
//
// Registered for intelligent connect at MERIT_UNLIKELY for any audio, so a
// decoder's float output still reaches an encoder that takes 16-bit audio;
// compressed input is refused at once.
#pragma once

#include <vector>

#include "components/common/media_format.h"
#include "components/common/sample_converter.h"
#include "platform/dshow/transform_filter.h"

class CAudioFormatConverter final : public CTransformFilter {
public:
    CAudioFormatConverter();

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Transform(IMediaSample* input, IMediaSample* output) override;

private:
    // Set when the pins connect.
    RawAudioFormat m_inputFormat;
    RawAudioFormat m_outputFormat;
    // Streaming lock held.
    SampleConverter m_converter;
    std::vector<uint8_t> m_converted;
};

void RegisterAudioFormatConverter();
