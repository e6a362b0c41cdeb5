#include "components/decode/video_decoder.h"

#include <new>

#include "components/common/module_config.h"
#include "components/common/sample_delivery.h"
#include "components/component_ids.h"
#include "components/decode/mpeg2_decoder.h"
#include "platform/com/class_registry.h"

namespace {

constexpr GUID FourCCSubtype(const char (&code)[5]) { return GuidFromFourCC(MakeFourCC(code[0], code[1], code[2], code[3])); }

const DecoderRegistration kH264{
    CLSID_H264Decoder, "Video Decoder", AVMEDIA_TYPE_VIDEO, {AV_CODEC_ID_H264},
    {MEDIASUBTYPE_AVC1, MEDIASUBTYPE_avc1, FourCCSubtype("VSSH"), FourCCSubtype("X264"), FourCCSubtype("x264")}};
const DecoderRegistration kMpeg4{
    CLSID_Mpeg4Decoder, "Video Decoder", AVMEDIA_TYPE_VIDEO, {AV_CODEC_ID_MPEG4, AV_CODEC_ID_H263, AV_CODEC_ID_H263P},
    {MEDIASUBTYPE_XVID, MEDIASUBTYPE_DIVX, MEDIASUBTYPE_mp4v, FourCCSubtype("dx50"), FourCCSubtype("DX50"),
     FourCCSubtype("divx"), FourCCSubtype("xvid"), FourCCSubtype("mp4s"), FourCCSubtype("MP4S"), FourCCSubtype("FMP4")}};
const DecoderRegistration kMpeg2{
    CLSID_Mpeg2Decoder, "Video Decoder", AVMEDIA_TYPE_VIDEO, {AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MPEG2VIDEO},
    {MEDIASUBTYPE_MPEG1Payload, MEDIASUBTYPE_MPEG1Packet, FourCCSubtype("MMES")}};
const DecoderRegistration kOtherVideo{
    CLSID_OtherVideoDecoder, "Video Decoder", AVMEDIA_TYPE_VIDEO,
    {AV_CODEC_ID_WMV1, AV_CODEC_ID_WMV2, AV_CODEC_ID_WMV3, AV_CODEC_ID_VC1, AV_CODEC_ID_FLV1, AV_CODEC_ID_VP6F,
     AV_CODEC_ID_VP6, AV_CODEC_ID_VP6A, AV_CODEC_ID_MSMPEG4V1, AV_CODEC_ID_MSMPEG4V2, AV_CODEC_ID_MSMPEG4V3,
     AV_CODEC_ID_MJPEG, AV_CODEC_ID_VP8, AV_CODEC_ID_VP9, AV_CODEC_ID_THEORA, AV_CODEC_ID_HEVC, AV_CODEC_ID_SVQ3,
     AV_CODEC_ID_CINEPAK},
    {}};

// H.264 decoder: the parameters the program sets on its first-choice decoder.
class CH264Decoder final : public CVideoDecoder {
public:
    CH264Decoder()
        : CVideoDecoder(CLSID_H264Decoder, kH264.codecs),
          m_config(static_cast<IBaseFilter*>(this), CLSID_H264Decoder,
                   {{component_params::DecoderOutputMode, AcceptedParameter(2)},
                    {component_params::DecoderInputFrameRate, RealParameter(0.0, 0.0, 1000.0)}})
    {
    }

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IModuleConfig::iid) return GetInterface(static_cast<IModuleConfig*>(&m_config), object);
        return CVideoDecoder::NonDelegatingQueryInterface(riid, object);
    }

protected:
    REFERENCE_TIME FallbackFrameDuration() const override
    {
        const double rate = m_config.Real(component_params::DecoderInputFrameRate);
        return rate > 0 ? static_cast<REFERENCE_TIME>(UNITS / rate) : 0;
    }

private:
    CModuleConfig m_config;
};

template <class Decoder>
HRESULT CreateDecoder(REFIID riid, void** object)
{
    return QueryNewObject(new (std::nothrow) Decoder(), riid, object);
}

}  // namespace

CVideoDecoder::CVideoDecoder(REFCLSID clsid, std::vector<AVCodecID> codecs)
    : CDecoderFilter("video decoder", clsid, AVMEDIA_TYPE_VIDEO, std::move(codecs))
{
}

RawVideoFormat CVideoDecoder::NativeFormat()
{
    const AVCodecParameters& input = InputParameters();
    RawVideoFormat format;
    // The demultiplexer's probe usually found the layout; 4:2:0 is the common guess.
    format.pixelFormat = input.format >= 0 ? static_cast<AVPixelFormat>(input.format) : AV_PIX_FMT_YUV420P;
    const bool sideways = InputOrientation().IsSideways();
    format.width = sideways ? input.height : input.width;
    format.height = sideways ? input.width : input.height;
    if (const auto* info = Input()->CurrentMediaType().FormatAs<VIDEOINFOHEADER>())
        format.timePerFrame = info->AvgTimePerFrame;
    const AVRational pixel = input.sample_aspect_ratio;
    if (pixel.num > 0 && pixel.den > 0)
        av_reduce(&format.displayAspect.num, &format.displayAspect.den, int64_t{input.width} * pixel.num,
                  int64_t{input.height} * pixel.den, 1 << 16);
    format.displayAspect = UprightAspect(format.displayAspect, InputOrientation());
    return format;
}

HRESULT CVideoDecoder::CheckTransform(const CMediaType* input, const CMediaType* output)
{
    if (CheckInputType(input) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    const auto offered = ReadRawVideoType(*output);
    const RawVideoFormat native = NativeFormat();
    return offered && offered->pixelFormat == native.pixelFormat && offered->width == native.width &&
                   offered->height == native.height
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoDecoder::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = RawVideoType(NativeFormat());
    return S_OK;
}

HRESULT CVideoDecoder::SetMediaType(PIN_DIRECTION direction, const CMediaType* type)
{
    if (direction == PINDIR_INPUT) return CDecoderFilter::SetMediaType(direction, type);
    const auto format = ReadRawVideoType(*type);
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    m_outputFormat = *format;
    return S_OK;
}

HRESULT CVideoDecoder::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    return SetBufferProperties(allocator, *request, 4, RawFrameSize(m_outputFormat));
}

void CVideoDecoder::ConfigureCodec(AVCodecContext* context)
{
    // Decoding is the largest share of a conversion: use every core, with
    // frame and slice threads as the ffmpeg command does. Frame threads hold
    // a few frames back; the end of stream drains them.
    context->thread_count = 0;
    context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
}

HRESULT CVideoDecoder::StartStreaming()
{
    m_filters.Reset();
    m_filters.SetOrientation(InputOrientation());
    return CDecoderFilter::StartStreaming();
}

HRESULT CVideoDecoder::StopStreaming()
{
    m_filters.Reset();
    return CDecoderFilter::StopStreaming();
}

HRESULT CVideoDecoder::EndFlush()
{
    {
        std::lock_guard lock(m_receiveLock);
        m_filters.Reset();
    }
    return CDecoderFilter::EndFlush();
}

REFERENCE_TIME CVideoDecoder::FrameDuration(const AVFrame& frame) const
{
    if (m_outputFormat.timePerFrame > 0) return m_outputFormat.timePerFrame;
    if (frame.pkt_duration > 0) return frame.pkt_duration;
    return FallbackFrameDuration();
}

StreamResult CVideoDecoder::DeliverFrame(const AVFrame& frame, REFERENCE_TIME start)
{
    return m_filters.Filter(frame, start, FilteredDelivery());
}

StreamResult CVideoDecoder::Drained()
{
    return m_filters.Drain(FilteredDelivery());
}

FrameFilters::Deliver CVideoDecoder::FilteredDelivery()
{
    return [this](const AVFrame& frame, REFERENCE_TIME start) {
        return Output()->DeliverNewSample([&](IMediaSample* sample) { return FillSample(frame, start, sample); });
    };
}

HRESULT CVideoDecoder::FillSample(const AVFrame& frame, REFERENCE_TIME start, IMediaSample* sample)
{
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const bool asNegotiated = frame.format == m_outputFormat.pixelFormat && frame.width == m_outputFormat.width &&
                              frame.height == m_outputFormat.height;
    HRESULT hr;
    if (asNegotiated) {
        hr = PackFrame(frame, data, sample->GetSize());
    } else {
        const PictureSource source{frame.data, frame.linesize, static_cast<AVPixelFormat>(frame.format), frame.width,
                                   frame.height};
        hr = m_converter.Convert(source, m_outputFormat, data, sample->GetSize());
    }
    if (FAILED(hr)) return hr;
    DrawOnPicture(data, m_outputFormat, start);
    sample->SetActualDataLength(RawFrameSize(m_outputFormat));
    REFERENCE_TIME end = start + FrameDuration(frame);
    sample->SetTime(&start, &end);
    sample->SetSyncPoint(TRUE);
    return S_OK;
}

void RegisterVideoDecoders()
{
    const struct {
        const DecoderRegistration& registration;
        ClassFactory factory;
    } decoders[] = {
        {kH264, CreateDecoder<CH264Decoder>},
        {kMpeg4, [](REFIID riid, void** object) {
             return QueryNewObject(new (std::nothrow) CVideoDecoder(CLSID_Mpeg4Decoder, kMpeg4.codecs), riid, object);
         }},
        {kMpeg2, [](REFIID riid, void** object) { return CreateMpeg2Decoder(kMpeg2.codecs, riid, object); }},
        // Takes every video codec, beyond those it is registered for.
        {kOtherVideo, [](REFIID riid, void** object) {
             return QueryNewObject(new (std::nothrow) CVideoDecoder(CLSID_OtherVideoDecoder, {}), riid, object);
         }},
    };
    for (const auto& decoder : decoders) {
        ClassRegistry::Instance().Register(decoder.registration.clsid, decoder.factory);
        RegisterDecoderInputs(decoder.registration);
    }
}
