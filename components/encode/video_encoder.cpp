#include "components/encode/video_encoder.h"


extern "C" {
#include <libavutil/opt.h>
}

#include "components/common/packet_sample.h"
#include "components/component_ids.h"
#include "components/encode/encode_packets.h"
#include "platform/com/class_registry.h"

// The committed parameters, as the codec set-up reads them.
struct VideoEncoderSettings {
    int bitRate;
    int mode;
    int profile;
    bool bFrames;
};

struct VideoCodecChoice {
    CLSID clsid;
    const char* objectName;
    const char* encoderName;
    AVCodecID codecId;
    GUID optionParameter;  // the parameter that allows B-frames
    HRESULT (*configure)(AVCodecContext*, const VideoEncoderSettings&);
};

namespace {

constexpr double kX264ConstantQuality = 23;
constexpr int kMpeg4ConstantQuantiser = 4;
constexpr int kMpeg4KeyFrameInterval = 250;
constexpr int kMpeg4BFrames = 2;
constexpr REFERENCE_TIME kDefaultTimePerFrame = UNITS / 25;

enum EncoderModeValue { kAverageBitRate = 0, kConstantQuality = 1 };
enum AvcProfileValue { kBaseline = 0, kMain = 1, kHigh = 2 };

HRESULT ConfigureX264(AVCodecContext* codec, const VideoEncoderSettings& settings)
{
    static const char* const kProfiles[] = {"baseline", "main", "high"};
    void* options = codec->priv_data;
    if (av_opt_set(options, "preset", kX264Preset, 0) < 0 ||
        av_opt_set(options, "profile", kProfiles[settings.profile], 0) < 0)
        return E_FAIL;
    if (settings.mode == kConstantQuality && av_opt_set_double(options, "crf", kX264ConstantQuality, 0) < 0)
        return E_FAIL;
    if (!settings.bFrames || settings.profile == kBaseline) codec->max_b_frames = 0;
    return S_OK;
}

HRESULT ConfigureMpeg4(AVCodecContext* codec, const VideoEncoderSettings& settings)
{
    codec->gop_size = kMpeg4KeyFrameInterval;
    codec->max_b_frames = settings.bFrames ? kMpeg4BFrames : 0;
    codec->thread_type = FF_THREAD_SLICE;
    if (settings.mode == kConstantQuality) {
        codec->flags |= AV_CODEC_FLAG_QSCALE;
        codec->global_quality = FF_QP2LAMBDA * kMpeg4ConstantQuantiser;
    }
    return S_OK;
}

std::optional<RawVideoFormat> ReadEncoderInput(const AM_MEDIA_TYPE& type)
{
    auto format = ReadRawVideoType(type);
    // 4:2:0 needs even sizes.
    if (!format || format->pixelFormat != AV_PIX_FMT_YUV420P || format->width % 2 || format->height % 2)
        return std::nullopt;
    return format;
}

const VideoCodecChoice kAvc{CLSID_AvcEncoder, "AVC encoder", "libx264", AV_CODEC_ID_H264,
                            component_params::AvcOption, ConfigureX264};
const VideoCodecChoice kMpeg4{CLSID_Mpeg4Encoder, "MPEG-4 encoder", "mpeg4", AV_CODEC_ID_MPEG4,
                              component_params::Mpeg4Option, ConfigureMpeg4};

std::map<GUID, ModuleParameter> VideoEncoderParameters(const VideoCodecChoice& choice)
{
    using namespace component_params;
    return {
        {BitRate, IntegerParameter(3'000'000, 8'000, 200'000'000)},
        {EncoderMode, IntegerParameter(kAverageBitRate, kAverageBitRate, kConstantQuality)},
        {EncoderProfile, IntegerParameter(kHigh, kBaseline, kHigh)},
        {choice.optionParameter, IntegerParameter(1, 0, 1)},
        {EncoderThreads, IntegerParameter(0, 0, 64)},
    };
}

// The sample aspect ratio that shows `format` at its display aspect ratio.
AVRational SampleAspect(const RawVideoFormat& format)
{
    if (format.displayAspect.num <= 0 || format.displayAspect.den <= 0) return AVRational{1, 1};
    AVRational aspect;
    av_reduce(&aspect.num, &aspect.den, int64_t{format.displayAspect.num} * format.height,
              int64_t{format.displayAspect.den} * format.width, 65535);
    return aspect;
}

template <const VideoCodecChoice& Choice>
HRESULT CreateVideoEncoder(REFIID riid, void** object)
{
    return QueryNewObject(new (std::nothrow) CVideoEncoder(Choice), riid, object);
}

}  // namespace

CVideoEncoder::CVideoEncoder(const VideoCodecChoice& choice)
    : CEncoderFilter(choice.objectName, choice.clsid, choice.codecId, VideoEncoderParameters(choice)),
      m_choice(choice)
{
}

HRESULT CVideoEncoder::CheckInputType(const CMediaType* type)
{
    return ReadEncoderInput(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoEncoder::StartStreaming()
{
    m_lastPts = AV_NOPTS_VALUE;
    return CEncoderFilter::StartStreaming();
}

HRESULT CVideoEncoder::OpenCodec(const CMediaType& input, AvCodecContextPtr* result)
{
    const auto format = ReadEncoderInput(input);
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    const AVCodec* encoder = avcodec_find_encoder_by_name(m_choice.encoderName);
    if (!encoder) return VFW_E_NO_ACCEPTABLE_TYPES;
    AvCodecContextPtr codec(avcodec_alloc_context3(encoder));
    if (!codec) return E_OUTOFMEMORY;

    using namespace component_params;
    const VideoEncoderSettings settings{m_config.Int(BitRate), m_config.Int(EncoderMode), m_config.Int(EncoderProfile),
                                   m_config.Int(m_choice.optionParameter) == 1};
    codec->width = format->width;
    codec->height = format->height;
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->sample_aspect_ratio = SampleAspect(*format);
    codec->time_base = FrameTimeBase(format->timePerFrame > 0 ? format->timePerFrame : kDefaultTimePerFrame);
    codec->framerate = av_inv_q(codec->time_base);
    codec->bit_rate = settings.bitRate;
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // 0 leaves it to the encoder, as the ffmpeg command does: x264 takes one
    // and a half threads per core and its own look-ahead threads.
    codec->thread_count = m_config.Int(EncoderThreads);
    HRESULT hr = m_choice.configure(codec.get(), settings);
    if (FAILED(hr)) return hr;
    const int error = avcodec_open2(codec.get(), encoder, nullptr);
    if (error < 0) return HResultFromAv(error);
    *result = std::move(codec);
    return S_OK;
}

LONG CVideoEncoder::MaxPacketSize(const CMediaType& input) const
{
    const auto format = ReadEncoderInput(input);
    // A compressed frame above the raw size is rare but legal: leave room.
    return format ? RawFrameSize(*format) * 3 / 2 + 4096 : 0;
}

HRESULT CVideoEncoder::Encode(IMediaSample* sample, std::vector<AvPacketPtr>* packets)
{
    const auto format = ReadEncoderInput(Input()->CurrentMediaType());
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    AvFramePtr frame = MakeFrame();
    if (!frame) return E_OUTOFMEMORY;
    hr = UnpackFrame(data, sample->GetActualDataLength(), *format, frame.get());
    if (FAILED(hr)) return hr;

    // Encoders refuse timestamps that do not increase; an untimed or
    // repeated time becomes the next tick.
    REFERENCE_TIME start, end;
    const int64_t pts = SUCCEEDED(sample->GetTime(&start, &end)) ? FromMediaTime(start, Codec()->time_base) : AV_NOPTS_VALUE;
    frame->pts = m_lastPts == AV_NOPTS_VALUE ? (pts == AV_NOPTS_VALUE ? 0 : pts)
                                             : (pts == AV_NOPTS_VALUE || pts <= m_lastPts ? m_lastPts + 1 : pts);
    m_lastPts = frame->pts;
    return EncodeFrame(Codec(), frame.get(), packets);
}

void RegisterVideoEncoders()
{
    ClassRegistry::Instance().Register(CLSID_AvcEncoder, CreateVideoEncoder<kAvc>);
    ClassRegistry::Instance().Register(CLSID_Mpeg4Encoder, CreateVideoEncoder<kMpeg4>);
}
