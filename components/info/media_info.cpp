#include "components/info/media_info.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "components/common/media_format.h"
#include "components/common/picture_converter.h"
#include "components/common/video_filter_graph.h"
#include "platform/dshow/media_type.h"

namespace {

// Enough to find the streams of every container we read without reading
// far into the file.
constexpr int64_t kProbeBytes = 4 << 20;
constexpr int64_t kAnalyzeDuration = 2 * AV_TIME_BASE;
// Bounds on the decoding from a key frame to a position, for files whose
// key frames lie far apart (or never come).
constexpr int kMaxFramesDecoded = 1000;
constexpr int kMaxPacketsRead = 20000;
constexpr LONG kMaxPictureSide = 4096;
// How long before the position every frame is decoded again.
constexpr int64_t kSkipMargin = AV_TIME_BASE / 2;

bool IsUsableVideo(const AVStream& stream)
{
    return stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC) &&
           stream.codecpar->width > 0 && stream.codecpar->height > 0;
}

bool IsUsableAudio(const AVStream& stream)
{
    return stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO && stream.codecpar->sample_rate > 0 &&
           stream.codecpar->ch_layout.nb_channels > 0;
}

int FirstStream(const AVFormatContext& input, bool (*usable)(const AVStream&))
{
    for (unsigned i = 0; i < input.nb_streams; ++i)
        if (usable(*input.streams[i])) return static_cast<int>(i);
    return -1;
}

short ClampToShort(int value) { return static_cast<short>(std::clamp(value, 0, 32767)); }

int BitsPerSample(const AVCodecParameters& parameters)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters.codec_id);
    if (!descriptor || !(descriptor->props & AV_CODEC_PROP_LOSSLESS)) return 16;
    for (int bits : {parameters.bits_per_raw_sample, av_get_bits_per_sample(parameters.codec_id),
                     parameters.bits_per_coded_sample})
        if (bits > 0) return bits;
    return 16;
}

HRESULT OpenDecoder(const AVStream& stream, AvCodecContextPtr* decoder)
{
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;
    AvCodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context) return E_OUTOFMEMORY;
    int error = avcodec_parameters_to_context(context.get(), stream.codecpar);
    if (error < 0) return HResultFromAv(error);
    // Slice threads keep the first frame from waiting on a pipeline of frames.
    context->thread_count = 0;
    context->thread_type = FF_THREAD_SLICE;
    // A thumbnail does not show what the loop filter smooths.
    context->skip_loop_filter = AVDISCARD_ALL;
    context->flags2 |= AV_CODEC_FLAG2_FAST;
    error = avcodec_open2(context.get(), codec, nullptr);
    if (error < 0) return HResultFromAv(error);
    *decoder = std::move(context);
    return S_OK;
}

// Replaces `frame` by its upright picture.
HRESULT TurnUpright(const PictureOrientation& orientation, AvFramePtr* frame)
{
    if (orientation.IsUpright()) return S_OK;
    VideoFilterGraph filters;
    AvFramePtr upright = MakeFrame();
    if (!upright) return E_OUTOFMEMORY;
    HRESULT hr = filters.Open(**frame, UprightFilters(orientation));
    if (SUCCEEDED(hr)) hr = filters.Push(frame->get());
    if (SUCCEEDED(hr)) hr = filters.Push(nullptr);
    if (SUCCEEDED(hr)) hr = filters.Pull(upright.get());
    if (hr != S_OK) return FAILED(hr) ? hr : E_UNEXPECTED;
    *frame = std::move(upright);
    return S_OK;
}

// The frame as a packed bottom-up 24-bit DIB of width x height.
HRESULT MakeDib(const AVFrame& frame, LONG width, LONG height, SAFEARRAY** dib)
{
    const RawVideoFormat target{AV_PIX_FMT_BGR24, width, height};
    std::vector<BYTE> packed(static_cast<size_t>(RawFrameSize(target)));
    PictureConverter converter;
    const HRESULT hr = converter.Convert(
        {frame.data, frame.linesize, static_cast<AVPixelFormat>(frame.format), frame.width, frame.height}, target,
        packed.data(), static_cast<int>(packed.size()));
    if (FAILED(hr)) return hr;

    const size_t row = static_cast<size_t>(width) * 3;
    const size_t stride = (row + 3) & ~size_t{3};
    const size_t imageSize = stride * static_cast<size_t>(height);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<uint32_t>(sizeof(BITMAPINFOHEADER) + imageSize));
    if (!array) return E_OUTOFMEMORY;
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    const BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB,
                                  static_cast<uint32_t>(imageSize), 0, 0, 0, 0};
    std::memcpy(data, &header, sizeof header);
    auto* pixels = static_cast<BYTE*>(data) + sizeof header;
    // A DIB with a positive height stores the bottom row first.
    for (LONG y = 0; y < height; ++y) {
        const size_t stored = static_cast<size_t>(height - 1 - y);
        std::memcpy(pixels + stored * stride, packed.data() + static_cast<size_t>(y) * row, row);
    }
    SafeArrayUnaccessData(array);
    *dib = array;
    return S_OK;
}

}  // namespace

CMediaInfo::CMediaInfo() : CUnknown("media information") {}

CMediaInfo::~CMediaInfo() = default;

HRESULT CMediaInfo::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IMediaInfo::iid) return GetInterface(static_cast<IMediaInfo*>(this), object);
    if (riid == IUnknown::iid) return GetInterface(static_cast<IUnknown*>(static_cast<IMediaInfo*>(this)), object);
    return E_NOINTERFACE;
}

HRESULT CMediaInfo::Open(BSTR path)
{
    if (!path) return E_POINTER;
    m_input.reset();
    m_video = m_audio = -1;

    AVFormatContext* context = avformat_alloc_context();
    if (!context) return E_OUTOFMEMORY;
    context->probesize = kProbeBytes;
    context->max_analyze_duration = kAnalyzeDuration;
    AVDictionary* options = nullptr;
    // A path is a file, whatever it looks like ("a:b" is not a protocol).
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const std::string url = std::string("file:") + path;
    int error = avformat_open_input(&context, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (error < 0) return HResultFromAv(error);  // the context is freed already
    AvInputPtr input(context);
    error = avformat_find_stream_info(input.get(), nullptr);
    if (error < 0) return HResultFromAv(error);

    const int video = FirstStream(*input, IsUsableVideo);
    const int audio = FirstStream(*input, IsUsableAudio);
    // Something FFmpeg took for a container but with nothing to show.
    if (video < 0 && audio < 0) return VFW_E_INVALID_FILE_FORMAT;
    m_input = std::move(input);
    m_video = video;
    m_audio = audio;
    return S_OK;
}

const AVStream* CMediaInfo::VideoStream() const { return m_video >= 0 ? m_input->streams[m_video] : nullptr; }

const AVStream* CMediaInfo::AudioStream() const { return m_audio >= 0 ? m_input->streams[m_audio] : nullptr; }

PictureOrientation CMediaInfo::VideoOrientation() const { return StoredPictureOf(*VideoStream()).orientation; }

HRESULT CMediaInfo::GetDuration(double* seconds)
{
    if (!seconds) return E_POINTER;
    *seconds = 0;
    if (!m_input) return E_UNEXPECTED;
    if (m_input->duration != AV_NOPTS_VALUE && m_input->duration > 0) {
        *seconds = static_cast<double>(m_input->duration) / AV_TIME_BASE;
        return S_OK;
    }
    for (const AVStream* stream : {VideoStream(), AudioStream()}) {
        if (stream && stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
            *seconds = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT CMediaInfo::GetVideoSize(short* width, short* height)
{
    if (!width || !height) return E_POINTER;
    *width = *height = 0;
    if (!m_input) return E_UNEXPECTED;
    const AVStream* video = VideoStream();
    if (!video) return VFW_E_NOT_FOUND;
    const bool sideways = VideoOrientation().IsSideways();
    *width = ClampToShort(sideways ? video->codecpar->height : video->codecpar->width);
    *height = ClampToShort(sideways ? video->codecpar->width : video->codecpar->height);
    return S_OK;
}

HRESULT CMediaInfo::GetStreams(VARIANT_BOOL* hasVideo, VARIANT_BOOL* hasAudio)
{
    if (!hasVideo || !hasAudio) return E_POINTER;
    *hasVideo = *hasAudio = VARIANT_FALSE;
    if (!m_input) return E_UNEXPECTED;
    *hasVideo = VideoStream() ? VARIANT_TRUE : VARIANT_FALSE;
    *hasAudio = AudioStream() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CMediaInfo::GetAudioFormat(LONG* sampleRate, short* channels, short* bitsPerSample)
{
    if (!sampleRate || !channels || !bitsPerSample) return E_POINTER;
    *sampleRate = 0;
    *channels = *bitsPerSample = 0;
    if (!m_input) return E_UNEXPECTED;
    const AVStream* audio = AudioStream();
    if (!audio) return VFW_E_NOT_FOUND;
    *sampleRate = audio->codecpar->sample_rate;
    *channels = ClampToShort(audio->codecpar->ch_layout.nb_channels);
    *bitsPerSample = static_cast<short>(BitsPerSample(*audio->codecpar));
    return S_OK;
}

HRESULT CMediaInfo::GetFrameRate(double* framesPerSecond)
{
    if (!framesPerSecond) return E_POINTER;
    *framesPerSecond = 0;
    if (!m_input) return E_UNEXPECTED;
    const AVStream* video = VideoStream();
    if (!video) return VFW_E_NOT_FOUND;
    const AVRational rate = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) return S_FALSE;
    *framesPerSecond = av_q2d(rate);
    return S_OK;
}

HRESULT CMediaInfo::GetFrame(double positionSeconds, LONG width, LONG height, SAFEARRAY** dib)
{
    if (!dib) return E_POINTER;
    *dib = nullptr;
    if (!m_input) return E_UNEXPECTED;
    const bool sizeOk = width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide;
    if (!sizeOk || !std::isfinite(positionSeconds)) return E_INVALIDARG;
    if (!VideoStream()) return VFW_E_NOT_FOUND;
    AvFramePtr frame = MakeFrame();
    if (!frame) return E_OUTOFMEMORY;
    HRESULT hr = DecodeFrameAt(std::max(positionSeconds, 0.0), frame.get());
    if (SUCCEEDED(hr)) hr = TurnUpright(VideoOrientation(), &frame);
    if (FAILED(hr)) return hr;
    return MakeDib(*frame, width, height, dib);
}

HRESULT CMediaInfo::DecodeFrameAt(double positionSeconds, AVFrame* kept)
{
    const AVStream& stream = *VideoStream();
    const int64_t start = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
    const int64_t target =
        start + av_rescale_q(std::llround(positionSeconds * AV_TIME_BASE), AV_TIME_BASE_Q, stream.time_base);
    // A file that cannot seek is decoded from where probing left it.
    av_seek_frame(m_input.get(), m_video, target, AVSEEK_FLAG_BACKWARD);
    // Frames decoded from a seek that missed a key frame would be garbage.
    const HRESULT hr = DecodeFrameUpTo(target, true, kept);
    if (hr != VFW_E_INVALID_FILE_FORMAT) return hr;
    // Without an index (MPEG-TS, MPEG-PS) the seek may land after the last key
    // frame before the position, leaving nothing to decode: then from the
    // start, where streams whose packets carry no key flags begin too.
    if (av_seek_frame(m_input.get(), -1, 0, AVSEEK_FLAG_BYTE) < 0)
        av_seek_frame(m_input.get(), m_video, start, AVSEEK_FLAG_BACKWARD);
    return DecodeFrameUpTo(target, false, kept);
}

HRESULT CMediaInfo::DecodeFrameUpTo(int64_t target, bool fromKeyFrame, AVFrame* kept)
{
    const AVStream& stream = *VideoStream();
    AvCodecContextPtr decoder;
    HRESULT hr = OpenDecoder(stream, &decoder);
    if (FAILED(hr)) return hr;
    const int64_t skipBefore = av_rescale_q(kSkipMargin, AV_TIME_BASE_Q, stream.time_base);

    AvPacketPtr packet = MakePacket();
    AvFramePtr frame = MakeFrame();
    if (!packet || !frame) return E_OUTOFMEMORY;
    bool haveFrame = false;
    bool draining = false;
    int framesDecoded = 0;
    int packetsRead = 0;
    for (;;) {
        const int received = avcodec_receive_frame(decoder.get(), frame.get());
        if (received == 0) {
            av_frame_unref(kept);
            av_frame_move_ref(kept, frame.get());
            haveFrame = true;
            const int64_t time = kept->best_effort_timestamp;
            if ((time != AV_NOPTS_VALUE && time >= target) || ++framesDecoded >= kMaxFramesDecoded) break;
            continue;
        }
        if (received != AVERROR(EAGAIN) || draining) break;  // the end, or a decoder that gave up

        const int read = packetsRead++ < kMaxPacketsRead ? av_read_frame(m_input.get(), packet.get()) : AVERROR_EOF;
        if (read < 0) {
            avcodec_send_packet(decoder.get(), nullptr);
            draining = true;
            continue;
        }
        if (packet->stream_index == m_video && fromKeyFrame) {
            const bool key = packet->flags & AV_PKT_FLAG_KEY;
            // The next key frame lies past the position: its frames are not the one asked for.
            if (key && packet->pts != AV_NOPTS_VALUE && packet->pts > target) return VFW_E_INVALID_FILE_FORMAT;
            if (!key) {
                av_packet_unref(packet.get());
                continue;
            }
        }
        if (packet->stream_index == m_video) {
            fromKeyFrame = false;
            // Frames nothing refers to are not worth decoding until the position is near.
            const bool farBefore = packet->pts != AV_NOPTS_VALUE && packet->pts < target - skipBefore;
            decoder->skip_frame = farBefore ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
            // A damaged packet is passed over; the frames after it may still decode.
            avcodec_send_packet(decoder.get(), packet.get());
        }
        av_packet_unref(packet.get());
    }
    return haveFrame ? S_OK : VFW_E_INVALID_FILE_FORMAT;
}

void RegisterMediaInfo() { ClassRegistry::Instance().Register(CLSID_MediaInfo, CreateComObject<CMediaInfo>); }
