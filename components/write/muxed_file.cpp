#include "components/write/muxed_file.h"

#include <limits>

namespace {

constexpr int kIoBufferSize = 64 * 1024;

}  // namespace

void CMuxedFile::IoDeleter::operator()(AVIOContext* io) const
{
    av_freep(&io->buffer);
    avio_context_free(&io);
}

CMuxedFile::CMuxedFile() = default;

CMuxedFile::~CMuxedFile()
{
    // The context's pb is ours; it must not outlive m_io's buffer.
    if (m_context) m_context->pb = nullptr;
}

HRESULT CMuxedFile::Create(const std::string& path, const char* formatName)
{
    HRESULT hr = COutputFile::Create(path, &m_file);
    if (FAILED(hr)) return hr;
    AVFormatContext* context = nullptr;
    int error = avformat_alloc_output_context2(&context, nullptr, formatName, nullptr);
    if (error < 0) return HResultFromAv(error);
    m_context.reset(context);

    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    if (!buffer) return E_OUTOFMEMORY;
    m_io.reset(avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr, &WriteCallback, &SeekCallback));
    if (!m_io) {
        av_free(buffer);
        return E_OUTOFMEMORY;
    }
    m_io->seekable = AVIO_SEEKABLE_NORMAL;
    m_context->pb = m_io.get();
    m_context->flags |= AVFMT_FLAG_CUSTOM_IO;
    return S_OK;
}

HRESULT CMuxedFile::AddStream(const AVCodecParameters& parameters, AVRational timeBase, int* index)
{
    AVStream* stream = avformat_new_stream(m_context.get(), nullptr);
    if (!stream) return E_OUTOFMEMORY;
    const int error = avcodec_parameters_copy(stream->codecpar, &parameters);
    if (error < 0) return HResultFromAv(error);
    stream->time_base = timeBase;
    *index = stream->index;
    return S_OK;
}

HRESULT CMuxedFile::AddStream(const AVCodecContext& encoder, int* index)
{
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters) return E_OUTOFMEMORY;
    const int error = avcodec_parameters_from_context(parameters.get(), &encoder);
    if (error < 0) return HResultFromAv(error);
    return AddStream(*parameters, encoder.time_base, index);
}

HRESULT CMuxedFile::WriteHeader()
{
    const int error = avformat_write_header(m_context.get(), nullptr);
    if (error < 0) return Failure(error);
    m_headerWritten = true;
    return S_OK;
}

HRESULT CMuxedFile::WritePacket(AVPacket* packet, int stream, AVRational timeBase)
{
    packet->stream_index = stream;
    av_packet_rescale_ts(packet, timeBase, m_context->streams[stream]->time_base);
    const int error = av_interleaved_write_frame(m_context.get(), packet);
    return error < 0 ? Failure(error) : S_OK;
}

HRESULT CMuxedFile::Finish()
{
    const int error = av_write_trailer(m_context.get());
    if (error < 0) return Failure(error);
    avio_flush(m_io.get());
    if (m_io->error < 0) return Failure(m_io->error);
    const HRESULT hr = m_file->Sync();
    // Closing here, while the stream can still end in an error, rather
    // than in the destructor, where a delayed write error would be lost.
    return FAILED(hr) ? hr : m_file->Close();
}

HRESULT CMuxedFile::Failure(int error) const { return FAILED(m_writeError) ? m_writeError : HResultFromAv(error); }

int CMuxedFile::WriteCallback(void* opaque, uint8_t* data, int size)
{
    auto* self = static_cast<CMuxedFile*>(opaque);
    // The first failure is the one to report; FFmpeg keeps writing after it.
    if (FAILED(self->m_writeError)) return AVERROR(EIO);
    const HRESULT hr = self->m_file->WriteAt(self->m_position, data, static_cast<size_t>(size));
    if (FAILED(hr)) {
        self->m_writeError = hr;
        return AVERROR(EIO);
    }
    self->m_position += static_cast<uint64_t>(size);
    return size;
}

int64_t CMuxedFile::SeekCallback(void* opaque, int64_t offset, int whence)
{
    auto* self = static_cast<CMuxedFile*>(opaque);
    uint64_t size = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return FAILED(self->m_file->Size(&size)) ? AVERROR(EIO) : static_cast<int64_t>(size);
    case SEEK_SET: break;
    case SEEK_CUR: offset += static_cast<int64_t>(self->m_position); break;
    case SEEK_END:
        if (FAILED(self->m_file->Size(&size))) return AVERROR(EIO);
        offset += static_cast<int64_t>(size);
        break;
    default: return AVERROR(EINVAL);
    }
    if (offset < 0) return AVERROR(EINVAL);
    self->m_position = static_cast<uint64_t>(offset);
    return offset;
}
