// The audio decoders, on libavcodec:
// - CLSID_AudioDecoder: AAC (the program prefers it for wave format tag 0x00FF);
// - CLSID_Ac3Decoder: AC-3 and E-AC-3, pins "In" and "Out" (DVD titles
//   connect the demultiplexer's AC-3 pin straight to "In");
// - CLSID_OtherAudioDecoder: every other audio codec libavcodec decodes (MP3,
//   MP2, WMA, AMR, the PCM variants of WAV files, ...); registered for the
//   common ones, it takes any.
//
// Output: raw interleaved audio (media_format) at the stream's rate and
// channel count. Offered in this order: the decoder's own sample layout
// made interleaved (float for AAC, MP3, AC-3, WMA; 16 bit for MP2 and
// 16-bit PCM...; 64-bit layouts become float), then 32-bit float, then
// 16-bit integers, so an encoder that takes 16-bit audio connects directly.
// Decoded audio is cut into samples of at most 8192 audio frames.
#pragma once

#include <vector>

#include "components/common/media_format.h"
#include "components/common/sample_converter.h"
#include "components/decode/decoder_filter.h"

class CAudioDecoder final : public CDecoderFilter {
public:
    CAudioDecoder(REFCLSID clsid, std::vector<AVCodecID> codecs);

    HRESULT CheckTransform(const CMediaType* input, const CMediaType* output) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

protected:
    StreamResult DeliverFrame(const AVFrame& frame, REFERENCE_TIME start) override;
    REFERENCE_TIME FrameDuration(const AVFrame& frame) const override;

private:
    // The formats offered for the input, in order of preference.
    std::vector<RawAudioFormat> OutputFormats() const;

    RawAudioFormat m_outputFormat;
    // Streaming lock held.
    SampleConverter m_converter;
    std::vector<uint8_t> m_converted;
};

// Registers the three audio decoders for CoCreateInstance and, at
// MERIT_NORMAL, for intelligent connect with their codecs' sub types.
void RegisterAudioDecoders();
