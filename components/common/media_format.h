// How streams are described between the components: media types for
// compressed streams, raw video and raw audio, and the sample layout of each.
//
// Compressed streams (demultiplexer -> decoder): the sub type names the codec
// (MEDIASUBTYPE_H264, MEDIASUBTYPE_MPEG2_VIDEO, the wave format tag for
// audio...), so preferred decoders and registrations can match on it. The
// format block is a VIDEOINFOHEADER (video; AvgTimePerFrame set) or a
// WAVEFORMATEX (audio), followed by a CodecTail and the codec's extra data:
// everything a decoder needs to open the stream, and how its pictures are
// shown (sample aspect ratio, the turn that sets them upright). One sample is one packet;
// its start time is the presentation time (when known), its sync point
// flag marks key frames. An encoder's samples also carry the decoding time as
// their media time (dts, dts), in 100 ns units (components/common/packet_sample.h).
//
// Raw video (decoder -> converters -> encoder): FORMAT_VideoInfo2 with the
// frame size, the frame duration and the display aspect ratio. The sub type
// says the pixel layout (MEDIASUBTYPE_I420 is what encoders take); one sample
// is one frame with its planes packed one after another, rows not padded.
//
// Raw audio: FORMAT_WaveFormatEx, interleaved, MEDIASUBTYPE_PCM (8, 16 or
// 32 bit integers) or MEDIASUBTYPE_IEEE_FLOAT (32 bit). A sample's start
// time is that of its first audio frame.
#pragma once

#include <optional>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/samplefmt.h>
}

#include "components/common/ffmpeg_support.h"
#include "components/common/picture_orientation.h"
#include "platform/dshow/media_type.h"

// After the VIDEOINFOHEADER or WAVEFORMATEX of a compressed stream.
struct CodecTail {
    static constexpr uint32_t kMagic = 0x444F4354;  // "TCOD"
    uint32_t magic;
    int32_t codecId;  // AVCodecID
    int32_t codecTag;
    int32_t profile;
    int32_t level;
    int32_t format;  // AVPixelFormat or AVSampleFormat, when the container says
    int32_t bitsPerCodedSample;
    int32_t blockAlign;
    int32_t frameSize;
    int32_t bitRate;
    int32_t sampleAspectNum, sampleAspectDen;
    int32_t clockwiseTurns, mirrored;  // PictureOrientation
    uint32_t extradataSize;  // bytes that follow
};

// The sub type that names a codec; a private one for codecs with no
// customary sub type.
GUID SubtypeForCodec(AVCodecID codec, uint32_t codecTag = 0);

// How a video stream's stored pictures are shown, as the container says.
struct StoredPicture {
    AVRational sampleAspect{0, 1};  // {0, 1}: the codec parameters' own
    PictureOrientation orientation;
};
// From the stream's sample aspect ratio and display matrix.
StoredPicture StoredPictureOf(const AVStream& stream);

// The media type of a demultiplexed stream. `frameRate` may be {0, 1}.
CMediaType CompressedType(const AVCodecParameters& parameters, AVRational frameRate, const StoredPicture& picture = {});
// Fills `parameters` (and `orientation`, when given) from a compressed type;
// VFW_E_TYPE_NOT_ACCEPTED if the type is not one (no CodecTail).
HRESULT ReadCompressedType(const AM_MEDIA_TYPE& type, AVCodecParameters* parameters,
                           PictureOrientation* orientation = nullptr);

struct RawVideoFormat {
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    int width = 0;
    int height = 0;
    REFERENCE_TIME timePerFrame = 0;  // 0 when unknown
    AVRational displayAspect{0, 1};   // {0, 1}: square pixels
};

// The sub type of a raw pixel layout (I420, NV12, YUY2, RGB32, RGB24, or a
// private one for any other FFmpeg layout).
GUID SubtypeForPixelFormat(AVPixelFormat format);
CMediaType RawVideoType(const RawVideoFormat& format);
// nullopt when the type is not raw video this module can describe.
std::optional<RawVideoFormat> ReadRawVideoType(const AM_MEDIA_TYPE& type);
// Bytes of one packed frame.
int RawFrameSize(const RawVideoFormat& format);
// Copies a frame into a sample buffer / out of one, planes packed.
HRESULT PackFrame(const AVFrame& frame, BYTE* buffer, int size);
HRESULT UnpackFrame(const BYTE* buffer, int size, const RawVideoFormat& format, AVFrame* frame);

struct RawAudioFormat {
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE;  // always an interleaved one
    int sampleRate = 0;
    int channels = 0;
    int BytesPerFrame() const { return channels * av_get_bytes_per_sample(sampleFormat); }
};

CMediaType RawAudioType(const RawAudioFormat& format);
std::optional<RawAudioFormat> ReadRawAudioType(const AM_MEDIA_TYPE& type);
