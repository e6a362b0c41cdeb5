#include "components/common/ffmpeg_support.h"

#include <cerrno>

extern "C" {
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

void SwsContextDeleter::operator()(SwsContext* context) const { sws_freeContext(context); }

void SwrContextDeleter::operator()(SwrContext* context) const { swr_free(&context); }

HRESULT HResultFromAv(int error)
{
    if (error >= 0) return S_OK;
    switch (error) {
    case AVERROR_INVALIDDATA:
    case AVERROR_BUG:
        return VFW_E_INVALID_FILE_FORMAT;
    case AVERROR_EOF: return HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);
    case AVERROR_DECODER_NOT_FOUND:
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_ENCODER_NOT_FOUND:
    case AVERROR_MUXER_NOT_FOUND:
    case AVERROR_PATCHWELCOME:
        return VFW_E_NO_ACCEPTABLE_TYPES;
    case AVERROR_EXIT: return E_ABORT;
    case AVERROR(ETIMEDOUT): return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    default: break;
    }
    // AVERROR(e) is -e for the system's errno values.
    if (error > -4096) return HResultFromErrno(-error);
    return E_FAIL;
}

std::string AvErrorText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

AvFramePtr MakeFrame() { return AvFramePtr(av_frame_alloc()); }

AvPacketPtr MakePacket() { return AvPacketPtr(av_packet_alloc()); }

int64_t ToMediaTime(int64_t value, AVRational timeBase)
{
    if (value == AV_NOPTS_VALUE) return AV_NOPTS_VALUE;
    return av_rescale_q(value, timeBase, kMediaTimeBase);
}

int64_t FromMediaTime(REFERENCE_TIME time, AVRational timeBase)
{
    if (time == AV_NOPTS_VALUE) return AV_NOPTS_VALUE;
    return av_rescale_q(time, kMediaTimeBase, timeBase);
}

void QuietFfmpegLogging() { av_log_set_level(AV_LOG_ERROR); }
