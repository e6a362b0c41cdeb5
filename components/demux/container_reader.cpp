#include "components/demux/container_reader.h"

#include <algorithm>
#include <cstdio>

#include "components/common/media_format.h"

namespace {

// libavformat numbers DVD subpicture streams by their substream id (0x20 + n)
// inside private stream 1 (0xBD = 189).
constexpr int kFirstSubpictureId = 0x20;
constexpr int kLastSubpictureId = 0x3F;

constexpr REFERENCE_TIME kSeekMargin = UNITS;

bool IsDescribable(const AVStream& stream)
{
    const AVCodecParameters& p = *stream.codecpar;
    if (p.codec_id == AV_CODEC_ID_NONE) return false;
    switch (p.codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        // Cover art in audio files is a picture, not a video stream.
        return !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC) && p.width > 0 && p.height > 0;
    case AVMEDIA_TYPE_AUDIO: return p.sample_rate > 0 && p.ch_layout.nb_channels > 0;
    case AVMEDIA_TYPE_SUBTITLE:
        return p.codec_id == AV_CODEC_ID_DVD_SUBTITLE && stream.id >= kFirstSubpictureId && stream.id <= kLastSubpictureId;
    default: return false;
    }
}

CMediaType SubpictureType()
{
    CMediaType type(MEDIATYPE_Video, MEDIASUBTYPE_DVD_SUBPICTURE);
    type.formattype = FORMAT_None;
    return type;
}

std::string NumberedName(const char* base, int number)
{
    return number == 1 ? base : std::string(base) + " " + std::to_string(number);
}

}  // namespace

HRESULT ContainerReader::Open(IAsyncReader* reader, const ContainerFilter& accepts,
                              std::unique_ptr<ContainerReader>* opened)
{
    std::unique_ptr<ContainerReader> container(new ContainerReader());
    const HRESULT hr = container->Probe(reader, accepts);
    if (FAILED(hr)) return hr;
    *opened = std::move(container);
    return S_OK;
}

ContainerReader::~ContainerReader() = default;

int ContainerReader::InterruptCallback(void* opaque)
{
    return static_cast<ContainerReader*>(opaque)->m_interrupted.load() ? 1 : 0;
}

HRESULT ContainerReader::Probe(IAsyncReader* reader, const ContainerFilter& accepts)
{
    m_io = AsyncReaderIo::Create(reader);
    if (!m_io) return E_OUTOFMEMORY;
    AVFormatContext* context = avformat_alloc_context();
    if (!context) return E_OUTOFMEMORY;
    context->pb = m_io->Context();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
    context->interrupt_callback = AVIOInterruptCB{&ContainerReader::InterruptCallback, this};
    // On failure avformat_open_input frees the context itself.
    int result = avformat_open_input(&context, nullptr, nullptr, nullptr);
    const auto failure = [this](int error) {
        return FAILED(m_io->LastReadError()) ? m_io->LastReadError() : HResultFromAv(error);
    };
    if (result < 0) return failure(result);
    m_context.reset(context);
    if (!accepts(m_context->iformat->name)) return VFW_E_INVALID_FILE_FORMAT;
    result = avformat_find_stream_info(m_context.get(), nullptr);
    if (result < 0) return failure(result);

    DescribeStreams();
    if (m_streams.empty()) return VFW_E_INVALID_FILE_FORMAT;
    if (m_context->start_time != AV_NOPTS_VALUE) m_startTime = ToMediaTime(m_context->start_time, AV_TIME_BASE_Q);
    if (m_context->duration != AV_NOPTS_VALUE) {
        m_duration = ToMediaTime(m_context->duration, AV_TIME_BASE_Q);
    } else {
        for (unsigned i = 0; i < m_context->nb_streams; ++i) {
            const AVStream* stream = m_context->streams[i];
            if (stream->duration != AV_NOPTS_VALUE)
                m_duration = std::max(m_duration, ToMediaTime(stream->duration, stream->time_base));
        }
    }
    return S_OK;
}

void ContainerReader::DescribeStreams()
{
    std::vector<ContainerStream> video, audio, subpictures;
    for (unsigned i = 0; i < m_context->nb_streams; ++i) {
        AVStream* stream = m_context->streams[i];
        if (!IsDescribable(*stream)) continue;
        const int index = static_cast<int>(i);
        switch (stream->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO: {
            const AVRational rate = av_guess_frame_rate(m_context.get(), stream, nullptr);
            video.push_back({index, ContainerStream::Kind::Video, NumberedName("Video", static_cast<int>(video.size()) + 1),
                             CompressedType(*stream->codecpar, rate, StoredPictureOf(*stream))});
            break;
        }
        case AVMEDIA_TYPE_AUDIO:
            audio.push_back({index, ContainerStream::Kind::Audio, NumberedName("Audio", static_cast<int>(audio.size()) + 1),
                             CompressedType(*stream->codecpar, AVRational{0, 1})});
            break;
        default: {
            char name[64];
            std::snprintf(name, sizeof name, "Subpicture (ID 189/%d @ Prog# 0)", stream->id);
            subpictures.push_back({index, ContainerStream::Kind::Subpicture, name, SubpictureType()});
            break;
        }
        }
    }
    m_streams = std::move(video);
    m_streams.insert(m_streams.end(), audio.begin(), audio.end());
    m_streams.insert(m_streams.end(), subpictures.begin(), subpictures.end());
}

void ContainerReader::SelectStreams(const std::vector<int>& indices)
{
    for (unsigned i = 0; i < m_context->nb_streams; ++i) m_context->streams[i]->discard = AVDISCARD_ALL;
    for (int index : indices) m_context->streams[index]->discard = AVDISCARD_DEFAULT;
}

HRESULT ContainerReader::Seek(REFERENCE_TIME position)
{
    // Containers without an index (program and transport streams) land on
    // whatever packet is near the time, and time key frames by their
    // presentation, which comes after their decoding: reading starts a
    // margin earlier (before the first packet, for the start itself).
    m_io->ForgetReadErrors();
    const int64_t target = FromMediaTime(position - kSeekMargin + m_startTime, AV_TIME_BASE_Q);
    // A key frame at or before the target, else the first one after it
    // (a stream may start after the container does).
    int result = avformat_seek_file(m_context.get(), -1, INT64_MIN, target, INT64_MAX, 0);
    // Raw streams without an index still go back to their first byte.
    if (result < 0 && position == 0) result = av_seek_frame(m_context.get(), -1, 0, AVSEEK_FLAG_BYTE);
    if (result >= 0) return S_OK;
    return FAILED(m_io->LastReadError()) ? m_io->LastReadError() : HResultFromAv(result);
}

HRESULT ContainerReader::ReadPacket(AVPacket* packet)
{
    const int result = av_read_frame(m_context.get(), packet);
    if (result >= 0) {
        // A packet cut off by the end of the stream: reading failed, or the
        // file was truncated and libavformat would end quietly at the cut.
        if ((packet->flags & AV_PKT_FLAG_CORRUPT) && avio_feof(m_context->pb)) {
            av_packet_unref(packet);
            return FAILED(m_io->LastReadError()) ? m_io->LastReadError() : VFW_E_INVALID_FILE_FORMAT;
        }
        return S_OK;
    }
    if (result == AVERROR_EOF && SUCCEEDED(m_io->LastReadError())) return S_FALSE;
    return FAILED(m_io->LastReadError()) ? m_io->LastReadError() : HResultFromAv(result);
}

std::optional<REFERENCE_TIME> ContainerReader::StreamTime(const AVPacket& packet, int64_t value) const
{
    if (value == AV_NOPTS_VALUE) return std::nullopt;
    return ToMediaTime(value, m_context->streams[packet.stream_index]->time_base) - m_startTime;
}

std::optional<REFERENCE_TIME> ContainerReader::PresentationTime(const AVPacket& packet) const
{
    return StreamTime(packet, packet.pts);
}

std::optional<REFERENCE_TIME> ContainerReader::DecodingTime(const AVPacket& packet) const
{
    return StreamTime(packet, packet.dts);
}

std::optional<REFERENCE_TIME> ContainerReader::PacketDuration(const AVPacket& packet) const
{
    if (packet.duration <= 0) return std::nullopt;
    return ToMediaTime(packet.duration, m_context->streams[packet.stream_index]->time_base);
}
