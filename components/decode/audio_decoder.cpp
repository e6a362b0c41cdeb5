#include "components/decode/audio_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "components/component_ids.h"
#include "platform/com/class_registry.h"

namespace {

constexpr int kFramesPerSample = 8192;

const DecoderRegistration kAac{CLSID_AudioDecoder, "Audio Decoder", AVMEDIA_TYPE_AUDIO,
                               {AV_CODEC_ID_AAC, AV_CODEC_ID_AAC_LATM}, {}};
const DecoderRegistration kAc3{CLSID_Ac3Decoder, "Audio Decoder", AVMEDIA_TYPE_AUDIO,
                               {AV_CODEC_ID_AC3, AV_CODEC_ID_EAC3}, {GuidFromFourCC(0x2000)}};
const DecoderRegistration kOtherAudio{
    CLSID_OtherAudioDecoder, "Audio Decoder", AVMEDIA_TYPE_AUDIO,
    {AV_CODEC_ID_MP3, AV_CODEC_ID_MP2, AV_CODEC_ID_MP1, AV_CODEC_ID_WMAV1, AV_CODEC_ID_WMAV2, AV_CODEC_ID_WMAPRO,
     AV_CODEC_ID_AMR_NB, AV_CODEC_ID_AMR_WB, AV_CODEC_ID_PCM_S16LE, AV_CODEC_ID_PCM_S16BE, AV_CODEC_ID_PCM_U8,
     AV_CODEC_ID_PCM_S24LE, AV_CODEC_ID_PCM_S32LE, AV_CODEC_ID_PCM_F32LE, AV_CODEC_ID_PCM_F64LE, AV_CODEC_ID_PCM_ALAW,
     AV_CODEC_ID_PCM_MULAW, AV_CODEC_ID_PCM_DVD, AV_CODEC_ID_ADPCM_IMA_WAV, AV_CODEC_ID_ADPCM_MS, AV_CODEC_ID_VORBIS,
     AV_CODEC_ID_OPUS, AV_CODEC_ID_FLAC, AV_CODEC_ID_DTS, AV_CODEC_ID_ALAC, AV_CODEC_ID_NELLYMOSER},
    {}};

// The interleaved layout media_format describes that holds `format` best.
AVSampleFormat InterleavedFormat(AVSampleFormat format)
{
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8: return AV_SAMPLE_FMT_U8;
    case AV_SAMPLE_FMT_S16: return AV_SAMPLE_FMT_S16;
    case AV_SAMPLE_FMT_S32: return AV_SAMPLE_FMT_S32;
    default: return AV_SAMPLE_FMT_FLT;
    }
}

}  // namespace

CAudioDecoder::CAudioDecoder(REFCLSID clsid, std::vector<AVCodecID> codecs)
    : CDecoderFilter("audio decoder", clsid, AVMEDIA_TYPE_AUDIO, std::move(codecs))
{
}

std::vector<RawAudioFormat> CAudioDecoder::OutputFormats() const
{
    const AVCodecParameters& input = InputParameters();
    const AVSampleFormat native =
        input.format >= 0 ? InterleavedFormat(static_cast<AVSampleFormat>(input.format)) : AV_SAMPLE_FMT_FLT;
    std::vector<RawAudioFormat> formats;
    for (AVSampleFormat format : {native, AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S16}) {
        const bool listed = std::any_of(formats.begin(), formats.end(), [&](const auto& f) { return f.sampleFormat == format; });
        if (!listed) formats.push_back({format, input.sample_rate, input.ch_layout.nb_channels});
    }
    return formats;
}

HRESULT CAudioDecoder::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    if (CheckInputType(input) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    const auto offered = ReadRawAudioType(*output);
    if (!offered) return VFW_E_TYPE_NOT_ACCEPTED;
    for (const auto& format : OutputFormats())
        if (offered->sampleFormat == format.sampleFormat && offered->sampleRate == format.sampleRate &&
            offered->channels == format.channels)
            return S_OK;
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioDecoder::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    const auto formats = OutputFormats();
    if (position >= static_cast<int>(formats.size())) return VFW_S_NO_MORE_ITEMS;
    *type = RawAudioType(formats[position]);
    return S_OK;
}

HRESULT CAudioDecoder::SetMediaType(PIN_DIRECTION direction, const CMediaType* type)
{
    if (direction == PINDIR_INPUT) return CDecoderFilter::SetMediaType(direction, type);
    const auto format = ReadRawAudioType(*type);
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    m_outputFormat = *format;
    return S_OK;
}

HRESULT CAudioDecoder::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    ALLOCATOR_PROPERTIES wanted{std::max<LONG>(8, request->cBuffers), kFramesPerSample * m_outputFormat.BytesPerFrame(),
                                std::max<LONG>(1, request->cbAlign), 0};
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < m_outputFormat.BytesPerFrame() ? E_FAIL : S_OK;
}

REFERENCE_TIME CAudioDecoder::FrameDuration(const AVFrame& frame) const
{
    return frame.sample_rate > 0 ? av_rescale(frame.nb_samples, UNITS, frame.sample_rate) : 0;
}

StreamResult CAudioDecoder::DeliverFrame(const AVFrame& frame, REFERENCE_TIME start)
{
    m_converted.clear();
    const AudioSource source{frame.extended_data, frame.nb_samples, static_cast<AVSampleFormat>(frame.format),
                             frame.sample_rate, &frame.ch_layout};
    const HRESULT hr = m_converter.Convert(source, m_outputFormat, &m_converted);
    if (FAILED(hr)) return StreamResult::Own(hr);
    const int bytesPerFrame = m_outputFormat.BytesPerFrame();
    const int64_t total = static_cast<int64_t>(m_converted.size()) / bytesPerFrame;
    for (int64_t done = 0; done < total;) {
        const StreamResult result = Output()->DeliverNewSample([&](IMediaSample* sample) {
            const int64_t frames = std::min<int64_t>(total - done, sample->GetSize() / bytesPerFrame);
            BYTE* data = nullptr;
            sample->GetPointer(&data);
            std::memcpy(data, m_converted.data() + done * bytesPerFrame, static_cast<size_t>(frames * bytesPerFrame));
            sample->SetActualDataLength(static_cast<LONG>(frames * bytesPerFrame));
            REFERENCE_TIME sampleStart = start + av_rescale(done, UNITS, m_outputFormat.sampleRate);
            REFERENCE_TIME sampleEnd = start + av_rescale(done + frames, UNITS, m_outputFormat.sampleRate);
            sample->SetTime(&sampleStart, &sampleEnd);
            sample->SetSyncPoint(TRUE);
            done += frames;
            return S_OK;
        });
        if (!result.Ok()) return result;
    }
    return StreamResult::Own(S_OK);
}

void RegisterAudioDecoders()
{
    for (const DecoderRegistration* registration : {&kAac, &kAc3, &kOtherAudio}) {
        // The other-audio decoder takes every audio codec, beyond those it is registered for.
        std::vector<AVCodecID> takes = registration == &kOtherAudio ? std::vector<AVCodecID>{} : registration->codecs;
        const CLSID clsid = registration->clsid;
        ClassRegistry::Instance().Register(clsid, [clsid, takes](REFIID riid, void** object) {
            return QueryNewObject(new (std::nothrow) CAudioDecoder(clsid, takes), riid, object);
        });
        RegisterDecoderInputs(*registration);
    }
}
