#include "components/encode/audio_encoder.h"

#include <algorithm>

#include "components/component_ids.h"
#include "platform/com/class_registry.h"

namespace {

constexpr int kDefaultIndex = 18;  // 128 kbit/s
constexpr int kLargestIndex = static_cast<int>(kAacBitRates.size());
constexpr int kMaxChannels = 8;
// What one AAC frame may hold per channel.
constexpr int kMaxBitsPerChannelFrame = 6144;
constexpr int kAacFrameSize = 1024;

const AVCodec* AacCodec() { return avcodec_find_encoder(AV_CODEC_ID_AAC); }

bool IsAacSampleRate(int rate)
{
    const AVCodec* codec = AacCodec();
    if (!codec || !codec->supported_samplerates) return false;
    for (const int* supported = codec->supported_samplerates; *supported; ++supported)
        if (*supported == rate) return true;
    return false;
}

std::optional<RawAudioFormat> ReadEncoderInput(const AM_MEDIA_TYPE& type)
{
    auto format = ReadRawAudioType(type);
    if (!format || format->channels > kMaxChannels || !IsAacSampleRate(format->sampleRate)) return std::nullopt;
    return format;
}

}  // namespace

int AacBitRateForIndex(int index, int channels, int sampleRate)
{
    const int64_t ceiling = int64_t{kMaxBitsPerChannelFrame} * channels * sampleRate / kAacFrameSize;
    int rate = kAacBitRates[static_cast<size_t>(std::clamp(index, 0, kLargestIndex - 1))] * 1000;
    for (int i = kLargestIndex - 1; i >= 0 && rate > ceiling; --i) rate = kAacBitRates[static_cast<size_t>(i)] * 1000;
    return rate;
}

CAacEncoder::CAacEncoder()
    : CEncoderFilter("AAC encoder", CLSID_AacEncoder, AV_CODEC_ID_AAC,
                     {{component_params::BitRate, IntegerParameter(kDefaultIndex, 0, kLargestIndex)}})
{
}

HRESULT CAacEncoder::CheckInputType(const CMediaType* type)
{
    return ReadEncoderInput(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAacEncoder::OpenCodec(const CMediaType& input, AvCodecContextPtr* result)
{
    const auto format = ReadEncoderInput(input);
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    const AVCodec* encoder = AacCodec();
    if (!encoder) return VFW_E_NO_ACCEPTABLE_TYPES;
    AvCodecContextPtr codec(avcodec_alloc_context3(encoder));
    if (!codec) return E_OUTOFMEMORY;
    codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    codec->sample_rate = format->sampleRate;
    av_channel_layout_default(&codec->ch_layout, format->channels);
    codec->time_base = AVRational{1, format->sampleRate};
    codec->bit_rate = AacBitRateForIndex(m_config.Int(component_params::BitRate), format->channels, format->sampleRate);
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int error = avcodec_open2(codec.get(), encoder, nullptr);
    if (error < 0) return HResultFromAv(error);
    *result = std::move(codec);
    return S_OK;
}

LONG CAacEncoder::MaxPacketSize(const CMediaType& input) const
{
    const auto format = ReadEncoderInput(input);
    return format ? format->channels * kMaxBitsPerChannelFrame / 8 + 1024 : 0;
}

HRESULT CAacEncoder::StartStreaming()
{
    const auto format = ReadEncoderInput(Input()->CurrentMediaType());
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    const HRESULT hr = CEncoderFilter::StartStreaming();
    if (FAILED(hr)) return hr;
    m_input = *format;
    m_started = false;
    return m_queue.Open(*format, Codec());
}

HRESULT CAacEncoder::Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets)
{
    BYTE* data = nullptr;
    const HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    if (!m_started) {
        REFERENCE_TIME start, end;
        if (SUCCEEDED(sample->GetTime(&start, &end))) m_queue.SetStartPts(FromMediaTime(start, Codec()->time_base));
        m_started = true;
    }
    return m_queue.Encode(data, sample->GetActualDataLength() / m_input.BytesPerFrame(), packets);
}

HRESULT CAacEncoder::Finish(std::vector<AvPacketPtr>* packets) { return m_queue.Finish(packets); }

void RegisterAacEncoder() { ClassRegistry::Instance().Register(CLSID_AacEncoder, CreateComObject<CAacEncoder>); }
