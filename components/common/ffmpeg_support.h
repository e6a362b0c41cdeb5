// What every FFmpeg-based component shares: error codes as HRESULTs, owning
// pointers for FFmpeg's contexts, and time conversions.
//
// FFmpeg's error codes become HRESULTs in one place (HResultFromAv), so a
// failure keeps its cause: a file FFmpeg cannot parse is
// VFW_E_INVALID_FILE_FORMAT, a missing decoder VFW_E_NO_ACCEPTABLE_TYPES...
#pragma once

#include <memory>
#include <string>

extern "C" {
struct SwsContext;
struct SwrContext;
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/frame.h>
}

#include "platform/dshow/dshow_types.h"

HRESULT HResultFromAv(int error);
// FFmpeg's text for an error code, for messages a person reads.
std::string AvErrorText(int error);

struct AvFormatInputDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct AvFormatOutputDeleter {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
struct AvCodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct AvFrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AvPacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct AvCodecParametersDeleter {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};

// Defined where libswscale and libswresample are, so the headers stay out
// of every component.
struct SwsContextDeleter {
    void operator()(SwsContext* context) const;
};
struct SwrContextDeleter {
    void operator()(SwrContext* context) const;
};

using AvInputPtr = std::unique_ptr<AVFormatContext, AvFormatInputDeleter>;
using AvOutputPtr = std::unique_ptr<AVFormatContext, AvFormatOutputDeleter>;
using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextDeleter>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameDeleter>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketDeleter>;
using AvCodecParametersPtr = std::unique_ptr<AVCodecParameters, AvCodecParametersDeleter>;
using SwsContextPtr = std::unique_ptr<SwsContext, SwsContextDeleter>;
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextDeleter>;

AvFramePtr MakeFrame();
AvPacketPtr MakePacket();

// Media times are in 100 ns units.
inline constexpr AVRational kMediaTimeBase{1, 10'000'000};

// `value` in `timeBase` as media time; nullopt-like AV_NOPTS_VALUE stays so.
int64_t ToMediaTime(int64_t value, AVRational timeBase);
int64_t FromMediaTime(REFERENCE_TIME time, AVRational timeBase);

// Quietens FFmpeg's own logging to errors only (components report through
// HRESULTs); called by RegisterComponents.
void QuietFfmpegLogging();
