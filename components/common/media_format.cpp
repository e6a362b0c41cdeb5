#include "components/common/media_format.h"

#include <cstring>
#include <vector>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {

struct CodecSubtype {
    AVCodecID codec;
    GUID subtype;
};

constexpr uint32_t FourCC(const char (&code)[5]) { return MakeFourCC(code[0], code[1], code[2], code[3]); }

// The customary sub type of each codec; the first entry for a codec is the
// one given to its streams, every entry is understood when read back.
const CodecSubtype kCodecSubtypes[] = {
    {AV_CODEC_ID_H264, MEDIASUBTYPE_H264},
    {AV_CODEC_ID_H264, MEDIASUBTYPE_AVC1},
    {AV_CODEC_ID_H264, MEDIASUBTYPE_avc1},
    {AV_CODEC_ID_MPEG4, MEDIASUBTYPE_MP4V},
    {AV_CODEC_ID_MPEG4, MEDIASUBTYPE_XVID},
    {AV_CODEC_ID_MPEG4, MEDIASUBTYPE_DIVX},
    {AV_CODEC_ID_MPEG4, MEDIASUBTYPE_mp4v},
    {AV_CODEC_ID_H263, GuidFromFourCC(FourCC("H263"))},
    {AV_CODEC_ID_MPEG2VIDEO, MEDIASUBTYPE_MPEG2_VIDEO},
    {AV_CODEC_ID_MPEG1VIDEO, MEDIASUBTYPE_MPEG1Video},
    {AV_CODEC_ID_MPEG1VIDEO, MEDIASUBTYPE_MPEG1Payload},
    {AV_CODEC_ID_WMV1, GuidFromFourCC(FourCC("WMV1"))},
    {AV_CODEC_ID_WMV2, MEDIASUBTYPE_WMV2},
    {AV_CODEC_ID_WMV3, GuidFromFourCC(FourCC("WMV3"))},
    {AV_CODEC_ID_VC1, GuidFromFourCC(FourCC("WVC1"))},
    {AV_CODEC_ID_FLV1, GuidFromFourCC(FourCC("FLV1"))},
    {AV_CODEC_ID_VP6F, GuidFromFourCC(FourCC("VP6F"))},
    {AV_CODEC_ID_MSMPEG4V3, GuidFromFourCC(FourCC("DIV3"))},
    {AV_CODEC_ID_MJPEG, GuidFromFourCC(FourCC("MJPG"))},
    {AV_CODEC_ID_AAC, MEDIASUBTYPE_AAC},
    {AV_CODEC_ID_MP3, MEDIASUBTYPE_MP3},
    {AV_CODEC_ID_MP2, GuidFromFourCC(0x0050)},
    {AV_CODEC_ID_AC3, MEDIASUBTYPE_DOLBY_AC3},
    {AV_CODEC_ID_WMAV1, GuidFromFourCC(0x0160)},
    {AV_CODEC_ID_WMAV2, MEDIASUBTYPE_WMAUDIO2},
    {AV_CODEC_ID_WMAPRO, GuidFromFourCC(0x0162)},
    {AV_CODEC_ID_AMR_NB, GuidFromFourCC(FourCC("samr"))},
    {AV_CODEC_ID_AMR_WB, GuidFromFourCC(FourCC("sawb"))},
};

// {codec id-7C1D-4F2A-9E61-6F726E636F64}: codecs with no customary sub type.
constexpr GUID PrivateCodecSubtype(AVCodecID codec)
{
    return GUID{static_cast<uint32_t>(codec), 0x7C1D, 0x4F2A, {0x9E, 0x61, 0x6F, 0x72, 0x6E, 0x63, 0x6F, 0x64}};
}

// {pixel format-7C1D-4F2A-9E61-706978666D74}: raw layouts with no customary sub type.
constexpr GUID PrivatePixelSubtype(AVPixelFormat format)
{
    return GUID{static_cast<uint32_t>(format), 0x7C1D, 0x4F2A, {0x9E, 0x61, 0x70, 0x69, 0x78, 0x66, 0x6D, 0x74}};
}

struct PixelSubtype {
    AVPixelFormat format;
    GUID subtype;
    uint16_t bitCount;
};

const PixelSubtype kPixelSubtypes[] = {
    {AV_PIX_FMT_YUV420P, MEDIASUBTYPE_I420, 12},
    {AV_PIX_FMT_NV12, MEDIASUBTYPE_NV12, 12},
    {AV_PIX_FMT_YUYV422, MEDIASUBTYPE_YUY2, 16},
    {AV_PIX_FMT_BGRA, MEDIASUBTYPE_RGB32, 32},
    {AV_PIX_FMT_BGR24, MEDIASUBTYPE_RGB24, 24},
};

template <class Format>
const Format* FormatBlock(const AM_MEDIA_TYPE& type)
{
    return type.cbFormat >= sizeof(Format) && type.pbFormat ? reinterpret_cast<const Format*>(type.pbFormat) : nullptr;
}

}  // namespace

StoredPicture StoredPictureOf(const AVStream& stream)
{
    StoredPicture picture;
    // FFmpeg only reads the stream; its signature predates const.
    picture.sampleAspect = av_guess_sample_aspect_ratio(nullptr, const_cast<AVStream*>(&stream), nullptr);
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix && size >= 9 * sizeof(int32_t)) {
        int32_t entries[9];
        std::memcpy(entries, matrix, sizeof entries);
        picture.orientation = OrientationFromDisplayMatrix(entries);
    }
    return picture;
}

GUID SubtypeForCodec(AVCodecID codec, uint32_t)
{
    for (const auto& entry : kCodecSubtypes)
        if (entry.codec == codec) return entry.subtype;
    return PrivateCodecSubtype(codec);
}

CMediaType CompressedType(const AVCodecParameters& parameters, AVRational frameRate, const StoredPicture& picture)
{
    const bool video = parameters.codec_type == AVMEDIA_TYPE_VIDEO;
    CMediaType type(video ? MEDIATYPE_Video : MEDIATYPE_Audio, SubtypeForCodec(parameters.codec_id));
    type.bFixedSizeSamples = 0;
    type.bTemporalCompression = video;
    type.lSampleSize = 0;

    const size_t headerSize = video ? sizeof(VIDEOINFOHEADER) : sizeof(WAVEFORMATEX);
    const size_t extradata = parameters.extradata ? static_cast<size_t>(parameters.extradata_size) : 0;
    BYTE* block = type.AllocFormatBuffer(static_cast<ULONG>(headerSize + sizeof(CodecTail) + extradata));
    if (!block) return type;
    if (video) {
        type.formattype = FORMAT_VideoInfo;
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(block);
        info->rcSource = info->rcTarget = RECT{0, 0, parameters.width, parameters.height};
        info->dwBitRate = static_cast<uint32_t>(parameters.bit_rate);
        if (frameRate.num > 0 && frameRate.den > 0) info->AvgTimePerFrame = av_rescale(UNITS, frameRate.den, frameRate.num);
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = parameters.width;
        info->bmiHeader.biHeight = parameters.height;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biCompression = type.subtype.Data1;
    } else {
        type.formattype = FORMAT_WaveFormatEx;
        auto* wave = reinterpret_cast<WAVEFORMATEX*>(block);
        wave->wFormatTag = static_cast<uint16_t>(type.subtype.Data1 & 0xFFFF);
        wave->nChannels = static_cast<uint16_t>(parameters.ch_layout.nb_channels);
        wave->nSamplesPerSec = static_cast<uint32_t>(parameters.sample_rate);
        wave->nAvgBytesPerSec = static_cast<uint32_t>(parameters.bit_rate / 8);
        wave->nBlockAlign = static_cast<uint16_t>(parameters.block_align);
        wave->wBitsPerSample = static_cast<uint16_t>(parameters.bits_per_coded_sample);
        wave->cbSize = static_cast<uint16_t>(std::min<size_t>(0xFFFF, sizeof(CodecTail) + extradata));
    }
    CodecTail tail{};
    tail.magic = CodecTail::kMagic;
    tail.codecId = parameters.codec_id;
    tail.codecTag = static_cast<int32_t>(parameters.codec_tag);
    tail.profile = parameters.profile;
    tail.level = parameters.level;
    tail.format = parameters.format;
    tail.bitsPerCodedSample = parameters.bits_per_coded_sample;
    tail.blockAlign = parameters.block_align;
    tail.frameSize = parameters.frame_size;
    tail.bitRate = static_cast<int32_t>(std::min<int64_t>(parameters.bit_rate, INT32_MAX));
    const bool containerAspect = picture.sampleAspect.num > 0 && picture.sampleAspect.den > 0;
    const AVRational sampleAspect = containerAspect ? picture.sampleAspect : parameters.sample_aspect_ratio;
    tail.sampleAspectNum = sampleAspect.num;
    tail.sampleAspectDen = sampleAspect.den;
    tail.clockwiseTurns = picture.orientation.clockwiseTurns;
    tail.mirrored = picture.orientation.mirrored;
    tail.extradataSize = static_cast<uint32_t>(extradata);
    std::memcpy(block + headerSize, &tail, sizeof tail);
    if (extradata) std::memcpy(block + headerSize + sizeof tail, parameters.extradata, extradata);
    return type;
}

HRESULT ReadCompressedType(const AM_MEDIA_TYPE& type, AVCodecParameters* parameters, PictureOrientation* orientation)
{
    const bool video = type.majortype == MEDIATYPE_Video && type.formattype == FORMAT_VideoInfo;
    const bool audio = type.majortype == MEDIATYPE_Audio && type.formattype == FORMAT_WaveFormatEx;
    if (!video && !audio) return VFW_E_TYPE_NOT_ACCEPTED;
    const size_t headerSize = video ? sizeof(VIDEOINFOHEADER) : sizeof(WAVEFORMATEX);
    if (type.cbFormat < headerSize + sizeof(CodecTail)) return VFW_E_TYPE_NOT_ACCEPTED;
    CodecTail tail;
    std::memcpy(&tail, type.pbFormat + headerSize, sizeof tail);
    if (tail.magic != CodecTail::kMagic || tail.extradataSize > type.cbFormat - headerSize - sizeof tail)
        return VFW_E_TYPE_NOT_ACCEPTED;

    parameters->codec_type = video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = static_cast<AVCodecID>(tail.codecId);
    parameters->codec_tag = static_cast<uint32_t>(tail.codecTag);
    parameters->profile = tail.profile;
    parameters->level = tail.level;
    parameters->format = tail.format;
    parameters->bits_per_coded_sample = tail.bitsPerCodedSample;
    parameters->block_align = tail.blockAlign;
    parameters->frame_size = tail.frameSize;
    parameters->bit_rate = tail.bitRate;
    parameters->sample_aspect_ratio = AVRational{tail.sampleAspectNum, tail.sampleAspectDen};
    if (orientation) *orientation = PictureOrientation{tail.clockwiseTurns & 3, tail.mirrored != 0};
    if (video) {
        const auto* info = FormatBlock<VIDEOINFOHEADER>(type);
        parameters->width = info->bmiHeader.biWidth;
        parameters->height = std::abs(info->bmiHeader.biHeight);
    } else {
        const auto* wave = FormatBlock<WAVEFORMATEX>(type);
        parameters->sample_rate = static_cast<int>(wave->nSamplesPerSec);
        av_channel_layout_uninit(&parameters->ch_layout);
        av_channel_layout_default(&parameters->ch_layout, wave->nChannels);
    }
    av_freep(&parameters->extradata);
    parameters->extradata_size = 0;
    if (tail.extradataSize) {
        parameters->extradata = static_cast<uint8_t*>(av_mallocz(tail.extradataSize + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!parameters->extradata) return E_OUTOFMEMORY;
        std::memcpy(parameters->extradata, type.pbFormat + headerSize + sizeof tail, tail.extradataSize);
        parameters->extradata_size = static_cast<int>(tail.extradataSize);
    }
    return S_OK;
}

GUID SubtypeForPixelFormat(AVPixelFormat format)
{
    for (const auto& entry : kPixelSubtypes)
        if (entry.format == format) return entry.subtype;
    return PrivatePixelSubtype(format);
}

CMediaType RawVideoType(const RawVideoFormat& format)
{
    CMediaType type(MEDIATYPE_Video, SubtypeForPixelFormat(format.pixelFormat));
    type.formattype = FORMAT_VideoInfo2;
    type.bFixedSizeSamples = 1;
    type.bTemporalCompression = 0;
    type.lSampleSize = static_cast<ULONG>(RawFrameSize(format));
    auto* info = reinterpret_cast<VIDEOINFOHEADER2*>(type.AllocFormatBuffer(sizeof(VIDEOINFOHEADER2)));
    if (!info) return type;
    info->rcSource = info->rcTarget = RECT{0, 0, format.width, format.height};
    info->AvgTimePerFrame = format.timePerFrame;
    AVRational aspect = format.displayAspect;
    if (aspect.num <= 0 || aspect.den <= 0) aspect = AVRational{format.width, format.height};
    av_reduce(&aspect.num, &aspect.den, aspect.num, aspect.den, 1 << 16);
    info->dwPictAspectRatioX = static_cast<uint32_t>(aspect.num);
    info->dwPictAspectRatioY = static_cast<uint32_t>(aspect.den);
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = format.width;
    info->bmiHeader.biHeight = format.height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biCompression = type.subtype.Data1;
    info->bmiHeader.biSizeImage = type.lSampleSize;
    for (const auto& entry : kPixelSubtypes)
        if (entry.format == format.pixelFormat) info->bmiHeader.biBitCount = entry.bitCount;
    return type;
}

std::optional<RawVideoFormat> ReadRawVideoType(const AM_MEDIA_TYPE& type)
{
    if (type.majortype != MEDIATYPE_Video) return std::nullopt;
    RawVideoFormat format;
    for (const auto& entry : kPixelSubtypes)
        if (entry.subtype == type.subtype) format.pixelFormat = entry.format;
    if (format.pixelFormat == AV_PIX_FMT_NONE) {
        const GUID privateBase = PrivatePixelSubtype(AV_PIX_FMT_NONE);
        const bool isPrivate = std::memcmp(&type.subtype.Data2, &privateBase.Data2, sizeof(GUID) - 4) == 0;
        if (!isPrivate || !av_pix_fmt_desc_get(static_cast<AVPixelFormat>(type.subtype.Data1))) return std::nullopt;
        format.pixelFormat = static_cast<AVPixelFormat>(type.subtype.Data1);
    }
    if (const auto* info2 = type.formattype == FORMAT_VideoInfo2 ? FormatBlock<VIDEOINFOHEADER2>(type) : nullptr) {
        format.width = info2->bmiHeader.biWidth;
        format.height = std::abs(info2->bmiHeader.biHeight);
        format.timePerFrame = info2->AvgTimePerFrame;
        format.displayAspect = AVRational{static_cast<int>(info2->dwPictAspectRatioX), static_cast<int>(info2->dwPictAspectRatioY)};
    } else if (const auto* info = type.formattype == FORMAT_VideoInfo ? FormatBlock<VIDEOINFOHEADER>(type) : nullptr) {
        format.width = info->bmiHeader.biWidth;
        format.height = std::abs(info->bmiHeader.biHeight);
        format.timePerFrame = info->AvgTimePerFrame;
    } else {
        return std::nullopt;
    }
    if (format.width <= 0 || format.height <= 0) return std::nullopt;
    return format;
}

int RawFrameSize(const RawVideoFormat& format)
{
    return av_image_get_buffer_size(format.pixelFormat, format.width, format.height, 1);
}

HRESULT PackFrame(const AVFrame& frame, BYTE* buffer, int size)
{
    const int written = av_image_copy_to_buffer(buffer, size, frame.data, frame.linesize,
                                                static_cast<AVPixelFormat>(frame.format), frame.width, frame.height, 1);
    return written < 0 ? HResultFromAv(written) : S_OK;
}

HRESULT UnpackFrame(const BYTE* buffer, int size, const RawVideoFormat& format, AVFrame* frame)
{
    if (size < RawFrameSize(format)) return VFW_E_BUFFER_OVERFLOW;
    frame->format = format.pixelFormat;
    frame->width = format.width;
    frame->height = format.height;
    int hr = av_frame_get_buffer(frame, 0);
    if (hr < 0) return HResultFromAv(hr);
    uint8_t* planes[4] = {};
    int linesizes[4] = {};
    hr = av_image_fill_arrays(planes, linesizes, buffer, format.pixelFormat, format.width, format.height, 1);
    if (hr < 0) return HResultFromAv(hr);
    av_image_copy(frame->data, frame->linesize, const_cast<const uint8_t**>(planes), linesizes, format.pixelFormat,
                  format.width, format.height);
    return S_OK;
}

CMediaType RawAudioType(const RawAudioFormat& format)
{
    const bool isFloat = format.sampleFormat == AV_SAMPLE_FMT_FLT;
    CMediaType type(MEDIATYPE_Audio, isFloat ? MEDIASUBTYPE_IEEE_FLOAT : MEDIASUBTYPE_PCM);
    type.formattype = FORMAT_WaveFormatEx;
    auto* wave = reinterpret_cast<WAVEFORMATEX*>(type.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    if (!wave) return type;
    wave->wFormatTag = isFloat ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
    wave->nChannels = static_cast<uint16_t>(format.channels);
    wave->nSamplesPerSec = static_cast<uint32_t>(format.sampleRate);
    wave->wBitsPerSample = static_cast<uint16_t>(8 * av_get_bytes_per_sample(format.sampleFormat));
    wave->nBlockAlign = static_cast<uint16_t>(format.BytesPerFrame());
    wave->nAvgBytesPerSec = wave->nBlockAlign * wave->nSamplesPerSec;
    type.lSampleSize = wave->nBlockAlign;
    return type;
}

std::optional<RawAudioFormat> ReadRawAudioType(const AM_MEDIA_TYPE& type)
{
    if (type.majortype != MEDIATYPE_Audio || type.formattype != FORMAT_WaveFormatEx) return std::nullopt;
    const auto* wave = FormatBlock<WAVEFORMATEX>(type);
    if (!wave || wave->nChannels == 0 || wave->nSamplesPerSec == 0) return std::nullopt;
    RawAudioFormat format;
    format.sampleRate = static_cast<int>(wave->nSamplesPerSec);
    format.channels = wave->nChannels;
    if (type.subtype == MEDIASUBTYPE_IEEE_FLOAT && wave->wBitsPerSample == 32) {
        format.sampleFormat = AV_SAMPLE_FMT_FLT;
    } else if (type.subtype == MEDIASUBTYPE_PCM) {
        switch (wave->wBitsPerSample) {
        case 8: format.sampleFormat = AV_SAMPLE_FMT_U8; break;
        case 16: format.sampleFormat = AV_SAMPLE_FMT_S16; break;
        case 32: format.sampleFormat = AV_SAMPLE_FMT_S32; break;
        default: return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    return format;
}
