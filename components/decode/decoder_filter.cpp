#include "components/decode/decoder_filter.h"

#include <algorithm>
#include <cstring>

#include "components/common/media_format.h"
#include "platform/dshow/filter_mapper.h"

namespace {

// Corrupt packets before the first good frame that make a stream count as
// undecodable, so a long garbage stream does not run to its end for nothing.
constexpr int64_t kErrorsBeforeGivingUp = 64;

}  // namespace

CDecoderFilter::CDecoderFilter(const char* objectName, REFCLSID clsid, AVMediaType kind, std::vector<AVCodecID> codecs)
    : CTransformFilter(objectName, clsid), m_kind(kind), m_codecs(std::move(codecs)),
      m_parameters(avcodec_parameters_alloc())
{
}

bool CDecoderFilter::Takes(AVCodecID codec) const
{
    if (!m_codecs.empty() && std::find(m_codecs.begin(), m_codecs.end(), codec) == m_codecs.end()) return false;
    return avcodec_find_decoder(codec) != nullptr;
}

HRESULT CDecoderFilter::CheckInputType(const CMediaType* type)
{
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters || !m_parameters) return E_OUTOFMEMORY;
    if (ReadCompressedType(*type, parameters.get()) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    if (parameters->codec_type != m_kind || !Takes(parameters->codec_id)) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CDecoderFilter::SetMediaType(PIN_DIRECTION direction, const CMediaType* type)
{
    if (direction != PINDIR_INPUT) return S_OK;
    return ReadCompressedType(*type, m_parameters.get(), &m_orientation);
}

HRESULT CDecoderFilter::StartStreaming()
{
    const AVCodec* codec = avcodec_find_decoder(m_parameters->codec_id);
    if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;
    AvCodecContextPtr context(avcodec_alloc_context3(codec));
    m_packet = MakePacket();
    m_frame = MakeFrame();
    if (!context || !m_packet || !m_frame) return E_OUTOFMEMORY;
    int result = avcodec_parameters_to_context(context.get(), m_parameters.get());
    if (result < 0) return HResultFromAv(result);
    // Packet times are media times, so frames come out in media time too.
    context->pkt_timebase = kMediaTimeBase;
    ConfigureCodec(context.get());
    result = avcodec_open2(context.get(), codec, nullptr);
    if (result < 0) return HResultFromAv(result);
    m_codec = std::move(context);
    m_segmentStart = INT64_MIN;
    m_segmentStop = INT64_MAX;
    m_nextStart.reset();
    m_framesDecoded = 0;
    m_decodeErrors = 0;
    return S_OK;
}

HRESULT CDecoderFilter::StopStreaming()
{
    m_codec.reset();
    return S_OK;
}

HRESULT CDecoderFilter::Transform(IMediaSample*, IMediaSample*) { return E_UNEXPECTED; }

HRESULT CDecoderFilter::Receive(IMediaSample* sample)
{
    // Streaming starts only with both pins connected.
    if (!m_codec) return VFW_E_NOT_CONNECTED;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const int size = sample->GetActualDataLength();
    const int error = av_new_packet(m_packet.get(), size);
    if (error < 0) return Input()->Settle(StreamResult::Own(HResultFromAv(error)));
    std::memcpy(m_packet->data, data, static_cast<size_t>(size));
    REFERENCE_TIME start, end;
    m_packet->pts = SUCCEEDED(sample->GetTime(&start, &end)) ? start : AV_NOPTS_VALUE;
    if (sample->IsSyncPoint() == S_OK) m_packet->flags |= AV_PKT_FLAG_KEY;
    const StreamResult result = Decode(m_packet.get());
    av_packet_unref(m_packet.get());
    return Input()->Settle(result);
}

HRESULT CDecoderFilter::EndOfStream()
{
    StreamResult result = m_codec ? Decode(nullptr) : StreamResult::Own(S_OK);
    if (result.Ok()) result = Drained();
    // Packets came, but not one of them decoded: the source is damaged.
    if (result.Ok() && m_framesDecoded == 0 && m_decodeErrors > 0)
        result = StreamResult::Own(VFW_E_INVALID_FILE_FORMAT);
    if (!result.Ok()) return Input()->Settle(result);
    return CTransformFilter::EndOfStream();
}

HRESULT CDecoderFilter::EndFlush()
{
    {
        std::lock_guard lock(m_receiveLock);
        if (m_codec) avcodec_flush_buffers(m_codec.get());
        m_nextStart.reset();
    }
    return CTransformFilter::EndFlush();
}

HRESULT CDecoderFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    {
        std::lock_guard lock(m_receiveLock);
        m_segmentStart = start;
        m_segmentStop = stop;
    }
    return CTransformFilter::NewSegment(start, stop, rate);
}

StreamResult CDecoderFilter::Decode(const AVPacket* packet)
{
    ASSERT_LOCK_HELD(m_receiveLock);
    const int result = avcodec_send_packet(m_codec.get(), packet);
    if (result < 0 && result != AVERROR_EOF) {
        const HRESULT hr = NoteDecodeError(result);
        if (FAILED(hr)) return StreamResult::Own(hr);
    }
    return DeliverDecodedFrames();
}

StreamResult CDecoderFilter::DeliverDecodedFrames()
{
    for (;;) {
        const int result = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return StreamResult::Own(S_OK);
        if (result < 0) {
            const HRESULT hr = NoteDecodeError(result);
            if (FAILED(hr)) return StreamResult::Own(hr);
            continue;
        }
        ++m_framesDecoded;
        const StreamResult delivered = OutputFrame(*m_frame);
        av_frame_unref(m_frame.get());
        if (!delivered.Ok()) return delivered;
    }
}

StreamResult CDecoderFilter::OutputFrame(const AVFrame& frame)
{
    const REFERENCE_TIME start =
        frame.best_effort_timestamp != AV_NOPTS_VALUE ? frame.best_effort_timestamp : m_nextStart.value_or(0);
    const REFERENCE_TIME end = start + FrameDuration(frame);
    m_nextStart = end;
    // Decoded only to reach the start, or past the stop.
    if (end <= m_segmentStart || start >= m_segmentStop) return StreamResult::Own(S_OK);
    return DeliverFrame(frame, start);
}

HRESULT CDecoderFilter::NoteDecodeError(int error)
{
    if (error == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
    ++m_decodeErrors;
    return m_framesDecoded == 0 && m_decodeErrors >= kErrorsBeforeGivingUp ? VFW_E_INVALID_FILE_FORMAT : S_OK;
}

void RegisterDecoderInputs(const DecoderRegistration& registration)
{
    const GUID major = registration.kind == AVMEDIA_TYPE_VIDEO ? MEDIATYPE_Video : MEDIATYPE_Audio;
    std::vector<RegisteredPinType> inputs;
    for (AVCodecID codec : registration.codecs) inputs.push_back({major, SubtypeForCodec(codec)});
    for (const GUID& subtype : registration.extraSubtypes) inputs.push_back({major, subtype});
    FilterMapper::Instance().RegisterFilter({registration.clsid, registration.name, MERIT_NORMAL, std::move(inputs)});
}
