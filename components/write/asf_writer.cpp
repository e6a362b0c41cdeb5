#include "components/write/asf_writer.h"

#include "components/write/format_change.h"

extern "C" {
#include <libswscale/swscale.h>
}

// Input pin

CAsfInputPin::CAsfInputPin(CAsfWriter* writer, AsfInput kind, const char* name)
    : CBaseInputPin("ASF writer input", writer, writer->FilterLock(), name), m_writer(writer), m_kind(kind)
{
}

HRESULT CAsfInputPin::CheckMediaType(const CMediaType* type) { return m_writer->CheckInputType(m_kind, type); }

HRESULT CAsfInputPin::Receive(IMediaSample* sample)
{
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return m_writer->Receive(m_kind, sample);
}

HRESULT CAsfInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return m_writer->EndOfStream(m_kind);
}

// Filter

CAsfWriter::CAsfWriter()
    : CBaseFilter("WM ASF writer", CLSID_WMAsfWriter),
      CFileSink(this),
      m_videoPin(this, AsfInput::Video, "Video Input 01"),
      m_audioPin(this, AsfInput::Audio, "Audio Input 01"),
      m_inputs{std::make_unique<Input>(&m_videoPin), std::make_unique<Input>(&m_audioPin)}
{
}

CAsfWriter::~CAsfWriter() = default;

HRESULT CAsfWriter::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IFileSinkFilter::iid) return GetInterface(static_cast<IFileSinkFilter*>(this), object);
    if (riid == IConfigAsfWriter::iid) return GetInterface(static_cast<IConfigAsfWriter*>(this), object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

CBasePin* CAsfWriter::GetPin(int index)
{
    if (index == 0) return &m_videoPin;
    if (index == 1) return &m_audioPin;
    return nullptr;
}

HRESULT CAsfWriter::ConfigureFilterUsingProfile(IWMProfile* profile)
{
    if (!profile) return E_POINTER;
    WmProfileSettings settings;
    const HRESULT hr = profile->GetSettings(&settings);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(m_filterLock);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    m_profile = profile;
    m_settings = std::move(settings);
    return S_OK;
}

HRESULT CAsfWriter::GetCurrentProfile(IWMProfile** profile)
{
    if (!profile) return E_POINTER;
    std::lock_guard lock(m_filterLock);
    *profile = nullptr;
    if (!m_profile) return E_FAIL;
    return m_profile.CopyTo(profile);
}

HRESULT CAsfWriter::CheckInputType(AsfInput kind, const CMediaType* type)
{
    if (kind == AsfInput::Video) {
        const auto format = ReadRawVideoType(*type);
        const bool usable = m_settings.video && format && sws_isSupportedInput(format->pixelFormat);
        return usable ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    return m_settings.audio && ReadRawAudioType(*type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// State

HRESULT CAsfWriter::Pause()
{
    std::lock_guard lock(m_filterLock);
    const bool starting = IsStopped();
    if (starting) {
        const HRESULT hr = StartWriting();
        if (FAILED(hr)) {
            StopWriting();
            return hr;
        }
    }
    const HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr) && starting) StopWriting();
    return hr;
}

HRESULT CAsfWriter::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(m_filterLock);
    const HRESULT hr = CBaseFilter::Run(start);
    if (FAILED(hr)) return hr;
    // The inputs may have ended while paused.
    CompleteIfDue();
    return S_OK;
}

HRESULT CAsfWriter::Stop()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped()) return S_OK;
    // The pins turn inactive first, so no new sample starts.
    const HRESULT hr = CBaseFilter::Stop();
    StopWriting();
    return hr;
}

HRESULT CAsfWriter::StartWriting()
{
    ASSERT_LOCK_HELD(m_filterLock);
    bool any = false;
    for (auto& input : m_inputs) {
        const bool connected = input->pin->IsConnected();
        {
            std::lock_guard mux(m_muxLock);
            input->connected = connected;
            input->started = input->ended = false;
            input->stream = -1;
        }
        if (!connected) continue;
        any = true;
        const HRESULT hr = OpenEncoder(*input);
        if (FAILED(hr)) return hr;
    }
    if (!any) return VFW_E_NOT_CONNECTED;
    auto file = std::make_unique<CMuxedFile>();
    const HRESULT hr = file->Create(FileName(), "asf");
    if (FAILED(hr)) return hr;
    std::lock_guard mux(m_muxLock);
    m_file = std::move(file);
    m_failure = S_OK;
    m_finished = m_completeSent = false;
    return S_OK;
}

HRESULT CAsfWriter::OpenEncoder(Input& input)
{
    const CMediaType& type = input.pin->CurrentMediaType();
    std::unique_ptr<CAsfStreamEncoder> encoder;
    HRESULT hr = VFW_E_TYPE_NOT_ACCEPTED;
    if (input.pin == &m_videoPin) {
        const auto format = ReadRawVideoType(type);
        if (format && m_settings.video) hr = CreateAsfVideoEncoder(*format, *m_settings.video, &encoder);
    } else {
        const auto format = ReadRawAudioType(type);
        if (format && m_settings.audio) hr = CreateAsfAudioEncoder(*format, *m_settings.audio, &encoder);
    }
    if (FAILED(hr)) return hr;
    // The muxer reads the codec's parameters on another input's thread, so
    // it gets a copy taken now, before any encoding.
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    if (!parameters) return E_OUTOFMEMORY;
    const int error = avcodec_parameters_from_context(parameters.get(), &encoder->Codec());
    if (error < 0) return HResultFromAv(error);
    std::lock_guard stream(input.streamLock);
    std::lock_guard mux(m_muxLock);
    input.startedType = type;
    input.timeBase = encoder->Codec().time_base;
    input.parameters = std::move(parameters);
    input.encoder = std::move(encoder);
    return S_OK;
}

void CAsfWriter::StopWriting()
{
    ASSERT_LOCK_HELD(m_filterLock);
    for (auto& input : m_inputs) {
        std::lock_guard stream(input->streamLock);
        input->encoder.reset();
    }
    std::lock_guard mux(m_muxLock);
    m_pending.Clear();
    m_file.reset();
}

// Streaming

HRESULT CAsfWriter::Receive(AsfInput kind, IMediaSample* sample)
{
    Input& input = InputOf(kind);
    std::lock_guard stream(input.streamLock);
    if (!input.encoder) return VFW_E_WRONG_STATE;
    std::vector<AvPacketPtr> packets;
    HRESULT hr = CheckNoFormatChange(sample, input.startedType);
    if (SUCCEEDED(hr)) hr = input.encoder->Encode(sample, &packets);
    if (SUCCEEDED(hr)) hr = Deliver(kind, packets, false);
    return FAILED(hr) ? Fail(input, hr) : S_OK;
}

HRESULT CAsfWriter::EndOfStream(AsfInput kind)
{
    Input& input = InputOf(kind);
    {
        std::lock_guard stream(input.streamLock);
        if (!input.encoder) return VFW_E_WRONG_STATE;
        std::vector<AvPacketPtr> packets;
        HRESULT hr = input.encoder->Finish(&packets);
        if (SUCCEEDED(hr)) hr = Deliver(kind, packets, true);
        if (FAILED(hr)) return Fail(input, hr);
    }
    CompleteIfDue();
    return S_OK;
}

HRESULT CAsfWriter::Fail(Input& input, HRESULT hr)
{
    const StreamResult result = StreamResult::Own(hr);
    if (!result.IsOwnFailure()) return hr;
    bool first;
    {
        std::lock_guard mux(m_muxLock);
        first = SUCCEEDED(m_failure);
        if (first) m_failure = hr;
    }
    return first ? input.pin->Settle(result) : hr;
}

HRESULT CAsfWriter::Deliver(AsfInput kind, std::vector<AvPacketPtr>& packets, bool ended)
{
    ASSERT_LOCK_HELD(InputOf(kind).streamLock);
    Input& input = InputOf(kind);
    std::lock_guard mux(m_muxLock);
    if (FAILED(m_failure)) return VFW_E_RUNTIME_ERROR;
    if (!m_file) return VFW_E_WRONG_STATE;
    (ended ? input.ended : input.started) = true;
    HRESULT hr = m_file->HeaderWritten() ? WritePackets(input, packets) : Hold(kind, packets);
    if (FAILED(hr) || !m_file->HeaderWritten()) return hr;
    for (const auto& each : m_inputs)
        if (each->connected && !each->ended) return S_OK;
    hr = m_file->Finish();
    m_finished = SUCCEEDED(hr);
    return hr;
}

HRESULT CAsfWriter::Hold(AsfInput kind, std::vector<AvPacketPtr>& packets)
{
    ASSERT_LOCK_HELD(m_muxLock);
    for (auto& packet : packets) {
        const HRESULT hr = m_pending.Push(static_cast<int>(kind), std::move(packet));
        if (FAILED(hr)) return hr;
    }
    if (!HeaderDue()) return S_OK;
    HRESULT hr = WriteHeader();
    while (SUCCEEDED(hr) && !m_pending.Empty()) {
        const CPendingPackets::Entry next = m_pending.PopFront();
        const Input& owner = *m_inputs[next.input];
        hr = m_file->WritePacket(next.packet.get(), owner.stream, owner.timeBase);
    }
    m_pending.Clear();
    return hr;
}

bool CAsfWriter::HeaderDue() const
{
    for (const auto& input : m_inputs)
        if (input->connected && !input->started && !input->ended) return false;
    return true;
}

HRESULT CAsfWriter::WriteHeader()
{
    ASSERT_LOCK_HELD(m_muxLock);
    bool any = false;
    for (auto& input : m_inputs) {
        if (!input->started) continue;
        const HRESULT hr = m_file->AddStream(*input->parameters, input->timeBase, &input->stream);
        if (FAILED(hr)) return hr;
        any = true;
    }
    // An ASF file needs a stream; no input had anything to write.
    if (!any) return E_FAIL;
    return m_file->WriteHeader();
}

HRESULT CAsfWriter::WritePackets(Input& input, std::vector<AvPacketPtr>& packets)
{
    ASSERT_LOCK_HELD(m_muxLock);
    for (auto& packet : packets) {
        const HRESULT hr = m_file->WritePacket(packet.get(), input.stream, input.timeBase);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

void CAsfWriter::CompleteIfDue()
{
    bool send;
    {
        std::lock_guard mux(m_muxLock);
        send = m_finished && !m_completeSent && State() == State_Running;
        if (send) m_completeSent = true;
    }
    if (send) NotifyEvent(EC_COMPLETE, S_OK, 0);
}
