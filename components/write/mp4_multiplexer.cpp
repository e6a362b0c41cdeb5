#include "components/write/mp4_multiplexer.h"

#include "components/common/media_format.h"
#include "components/common/packet_sample.h"
#include "components/common/sample_delivery.h"
#include "components/component_ids.h"
#include "components/write/stream_io.h"
#include "platform/com/class_registry.h"

// The file being written: the muxer and the stream it writes to. The muxer
// goes first, as it points at the stream's context.
struct Mp4Output {
    ComPtr<IStream> stream;
    StreamIoPtr io;
    AvOutputPtr format;
};

namespace {

const AVOutputFormat* Mp4Format() { return av_guess_format("mp4", nullptr, nullptr); }

// The muxer reopens its output to read it back when it moves the index
// to the front.
int OpenReadBack(AVFormatContext* format, AVIOContext** io, const char*, int flags, AVDictionary**)
{
    if (flags & AVIO_FLAG_WRITE) return AVERROR(ENOSYS);
    *io = OpenStreamIo(static_cast<Mp4Output*>(format->opaque)->stream.Get(), false).release();
    return *io ? 0 : AVERROR(ENOMEM);
}

int CloseReadBack(AVFormatContext*, AVIOContext* io)
{
    StreamIoPtr owned(io);
    return 0;
}

HRESULT OpenMp4Output(IStream* stream, std::unique_ptr<Mp4Output>* result)
{
    auto output = std::make_unique<Mp4Output>();
    output->stream = stream;
    output->io = OpenStreamIo(stream, true);
    AVFormatContext* format = nullptr;
    const int error = avformat_alloc_output_context2(&format, Mp4Format(), nullptr, "output.mp4");
    output->format.reset(format);
    if (error < 0) return HResultFromAv(error);
    if (!output->io) return E_OUTOFMEMORY;
    format->pb = output->io.get();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    format->opaque = output.get();
    format->io_open = OpenReadBack;
    format->io_close2 = CloseReadBack;
    *result = std::move(output);
    return S_OK;
}

// The codec parameters and time base of an input type; VFW_E_TYPE_NOT_ACCEPTED
// for a stream MP4 cannot carry.
HRESULT ReadInputType(const AM_MEDIA_TYPE& type, AVCodecParameters* parameters, AVRational* timeBase)
{
    HRESULT hr = ReadCompressedType(type, parameters);
    if (hr != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    if (avformat_query_codec(Mp4Format(), parameters->codec_id, FF_COMPLIANCE_NORMAL) != 1)
        return VFW_E_TYPE_NOT_ACCEPTED;
    // Tags of other containers mean nothing here; the muxer picks its own.
    parameters->codec_tag = 0;
    if (parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
        if (parameters->sample_rate <= 0) return VFW_E_TYPE_NOT_ACCEPTED;
        *timeBase = AVRational{1, parameters->sample_rate};
    } else {
        if (parameters->width <= 0 || parameters->height <= 0) return VFW_E_TYPE_NOT_ACCEPTED;
        *timeBase = FrameTimeBase(reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->AvgTimePerFrame);
    }
    return S_OK;
}

std::map<GUID, ModuleParameter> MultiplexerParameters()
{
    return {{component_params::MuxFirst, AcceptedParameter(0)}, {component_params::MuxSecond, AcceptedParameter(0)}};
}

}  // namespace

// Input pin

CMuxInputPin::CMuxInputPin(CMp4Multiplexer* mux, int index, const char* name)
    : CBaseInputPin("mp4 multiplexer input", mux, mux->FilterLock(), name), m_mux(mux), m_index(index)
{
}

HRESULT CMuxInputPin::CheckMediaType(const CMediaType* type)
{
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters) return E_OUTOFMEMORY;
    AVRational timeBase;
    return ReadInputType(*type, parameters.get(), &timeBase);
}

HRESULT CMuxInputPin::SetMediaType(const CMediaType* type)
{
    const HRESULT hr = CBaseInputPin::SetMediaType(type);
    return FAILED(hr) ? hr : m_mux->SetInputType(m_index, *type);
}

HRESULT CMuxInputPin::Receive(IMediaSample* sample)
{
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return Settle(m_mux->ReceivePacket(m_index, sample));
}

HRESULT CMuxInputPin::EndOfStream()
{
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return Settle(m_mux->EndOfInput(m_index));
}

// Output pin

CMuxOutputPin::CMuxOutputPin(CMp4Multiplexer* mux)
    : CBaseOutputPin("mp4 multiplexer output", mux, mux->FilterLock(), "Output")
{
}

HRESULT CMuxOutputPin::CheckMediaType(const CMediaType* type)
{
    return type->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CMuxOutputPin::GetMediaType(int position, CMediaType* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = CMediaType(MEDIATYPE_Stream);
    return S_OK;
}

HRESULT CMuxOutputPin::CheckConnect(IPin* pin)
{
    const HRESULT hr = CBaseOutputPin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    // The file is written through the peer's IStream, not with samples.
    return pin->QueryInterface(IStream::iid, m_stream.ReleaseAndGetVoidAddress());
}

HRESULT CMuxOutputPin::BreakConnect()
{
    m_stream.Reset();
    return CBaseOutputPin::BreakConnect();
}

HRESULT CMuxOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    // No sample travels; the allocator only completes the connection.
    return SetBufferProperties(allocator, *request, 1, 1);
}

// Filter

CMp4Multiplexer::CMp4Multiplexer()
    : CBaseFilter("mp4 multiplexer", CLSID_Mp4Multiplexer),
      m_config(static_cast<IBaseFilter*>(this), CLSID_Mp4Multiplexer, MultiplexerParameters()),
      m_input0(this, 0, "Input 0"),
      m_input1(this, 1, "Input 1"),
      m_output(this)
{
}

CMp4Multiplexer::~CMp4Multiplexer() = default;

HRESULT CMp4Multiplexer::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IModuleConfig::iid) return GetInterface(static_cast<IModuleConfig*>(&m_config), object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

CBasePin* CMp4Multiplexer::GetPin(int index)
{
    switch (index) {
    case 0: return &m_input0;
    case 1: return &m_input1;
    case 2: return &m_output;
    default: return nullptr;
    }
}

HRESULT CMp4Multiplexer::Pause()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped()) {
        const ComPtr<IStream> stream = m_output.Stream();
        if (!stream || (!m_input0.IsConnected() && !m_input1.IsConnected())) return VFW_E_NOT_CONNECTED;
        std::unique_ptr<Mp4Output> file;
        const HRESULT hr = OpenMp4Output(stream.Get(), &file);
        if (FAILED(hr)) return hr;
        std::lock_guard mux(m_muxLock);
        m_file = std::move(file);
        m_pending.Clear();
        m_headerWritten = m_finished = false;
        m_failure = S_OK;
        m_inputs[0].active = m_input0.IsConnected();
        m_inputs[1].active = m_input1.IsConnected();
        for (auto& input : m_inputs) {
            input.received = input.ended = false;
            input.stream = -1;
        }
    }
    return CBaseFilter::Pause();
}

HRESULT CMp4Multiplexer::Stop()
{
    std::lock_guard lock(m_filterLock);
    // Inactive first, so a sample on its way in fails instead of writing.
    const HRESULT hr = CBaseFilter::Stop();
    std::lock_guard mux(m_muxLock);
    m_pending.Clear();
    m_file.reset();
    return hr;
}

HRESULT CMp4Multiplexer::SetInputType(int index, const CMediaType& type)
{
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters) return E_OUTOFMEMORY;
    AVRational timeBase;
    const HRESULT hr = ReadInputType(type, parameters.get(), &timeBase);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(m_muxLock);
    // Too late once the stream is in the file's header.
    if (m_inputs[index].stream >= 0) return VFW_E_WRONG_STATE;
    m_inputs[index].parameters = std::move(parameters);
    m_inputs[index].timeBase = timeBase;
    return S_OK;
}

StreamResult CMp4Multiplexer::ReceivePacket(int index, IMediaSample* sample)
{
    AvPacketPtr packet = MakePacket();
    if (!packet) return StreamResult::Own(E_OUTOFMEMORY);
    std::lock_guard lock(m_muxLock);
    if (!m_file) return StreamResult::Own(VFW_E_WRONG_STATE);
    if (FAILED(m_failure)) return StreamResult::Reported(m_failure);
    Input& input = m_inputs[index];
    if (input.ended) return StreamResult::Own(VFW_E_SAMPLE_REJECTED_EOS);
    const HRESULT hr = SampleToPacket(sample, input.timeBase, packet.get());
    if (FAILED(hr)) return Fail(hr);
    input.received = true;
    if (m_headerWritten) return WritePacket(index, std::move(packet));
    const HRESULT queued = m_pending.Push(index, std::move(packet));
    return FAILED(queued) ? Fail(queued) : WriteHeaderWhenReady();
}

StreamResult CMp4Multiplexer::EndOfInput(int index)
{
    {
        std::lock_guard lock(m_muxLock);
        if (!m_file) return StreamResult::Own(VFW_E_WRONG_STATE);
        if (FAILED(m_failure)) return StreamResult::Reported(m_failure);
        m_inputs[index].ended = true;
        if (!m_headerWritten) {
            const StreamResult result = WriteHeaderWhenReady();
            if (!result.Ok()) return result;
        }
        if (!m_headerWritten || !AllEnded() || m_finished) return StreamResult::Own(S_OK);
        const int error = av_write_trailer(m_file->format.get());
        if (error < 0) return Fail(HResultFromAv(error));
        m_finished = true;
    }
    // Outside the lock: the writer completes the run from here.
    return m_output.DeliverStreamEnd();
}

bool CMp4Multiplexer::AllEnded() const
{
    for (const auto& input : m_inputs)
        if (input.active && !input.ended) return false;
    return true;
}

StreamResult CMp4Multiplexer::WriteHeaderWhenReady()
{
    ASSERT_LOCK_HELD(m_muxLock);
    for (const auto& input : m_inputs)
        if (input.active && !input.received && !input.ended) return StreamResult::Own(S_OK);

    AVFormatContext* format = m_file->format.get();
    for (auto& input : m_inputs) {
        if (!input.active || !input.received) continue;
        if (!input.parameters) return Fail(VFW_E_NOT_CONNECTED);
        AVStream* stream = avformat_new_stream(format, nullptr);
        if (!stream) return Fail(E_OUTOFMEMORY);
        const int error = avcodec_parameters_copy(stream->codecpar, input.parameters.get());
        if (error < 0) return Fail(HResultFromAv(error));
        stream->time_base = input.timeBase;
        input.stream = stream->index;
    }
    // Every input ended before its first sample: there is nothing to write.
    if (format->nb_streams == 0) return Fail(E_FAIL);

    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    const int error = avformat_write_header(format, &options);
    av_dict_free(&options);
    if (error < 0) return Fail(HResultFromAv(error));
    m_headerWritten = true;

    while (!m_pending.Empty()) {
        CPendingPackets::Entry next = m_pending.PopFront();
        const StreamResult result = WritePacket(next.input, std::move(next.packet));
        if (!result.Ok()) return result;
    }
    return StreamResult::Own(S_OK);
}

StreamResult CMp4Multiplexer::WritePacket(int index, AvPacketPtr packet)
{
    ASSERT_LOCK_HELD(m_muxLock);
    const Input& input = m_inputs[index];
    AVStream* stream = m_file->format->streams[input.stream];
    packet->stream_index = input.stream;
    av_packet_rescale_ts(packet.get(), input.timeBase, stream->time_base);
    const int error = av_interleaved_write_frame(m_file->format.get(), packet.get());
    return error < 0 ? Fail(HResultFromAv(error)) : StreamResult::Own(S_OK);
}

StreamResult CMp4Multiplexer::Fail(HRESULT hr)
{
    const HRESULT writeFailure = StreamIoFailure(m_file->io.get());
    m_failure = FAILED(writeFailure) ? writeFailure : hr;
    return FAILED(writeFailure) ? StreamResult::Delivery(writeFailure) : StreamResult::Own(hr);
}

void RegisterMp4Multiplexer()
{
    ClassRegistry::Instance().Register(CLSID_Mp4Multiplexer, CreateComObject<CMp4Multiplexer>);
}
