#include "components/demux/demultiplexer.h"

#include <map>
#include <new>
#include <sstream>

#include "components/component_ids.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/filter_mapper.h"

namespace {

// libavformat's demuxer names (any name of a comma-separated list will do)
// that the first demultiplexer takes.
const char* const kFirstContainers[] = {
    "mov", "flv", "live_flv", "avi", "asf", "asf_o", "mpegts", "wav", "w64", "mp3", "aac", "ac3", "eac3",
    "amr", "amrnb", "amrwb", "matroska", "ogg", "m4v", "h264", "mpegvideo",
};
// What the second takes beyond those: MPEG program streams.
const char* const kProgramStream = "mpeg";

bool TakesContainer(CDemultiplexer::Choice choice, const std::string& demuxerNames)
{
    std::istringstream names(demuxerNames);
    std::string name;
    while (std::getline(names, name, ',')) {
        for (const char* listed : kFirstContainers)
            if (name == listed) return true;
        if (choice == CDemultiplexer::Choice::Second && name == kProgramStream) return true;
    }
    return false;
}

CLSID ClassOf(CDemultiplexer::Choice choice)
{
    return choice == CDemultiplexer::Choice::First ? CLSID_Demultiplexer : CLSID_SecondDemultiplexer;
}

std::map<GUID, ModuleParameter> DvdParameters()
{
    using namespace component_params;
    return {
        {DvdDemux1, AcceptedParameter(1)},        {DvdDemux2, AcceptedParameter(0x1000000)},
        {DvdDemux3, AcceptedParameter(0)},        {DvdDemux4, AcceptedParameter(0)},
        {DvdDemux5, AcceptedParameter(1)},        {DvdDemux6, AcceptedParameter(1)},
    };
}

}  // namespace

// Input pin

CDemuxInputPin::CDemuxInputPin(CDemultiplexer* filter)
    : CBasePin("demultiplexer input pin", filter, filter->FilterLock(), "Input", PINDIR_INPUT), m_demultiplexer(filter)
{
}

HRESULT CDemuxInputPin::CheckMediaType(const CMediaType* type)
{
    return type && type->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDemuxInputPin::CheckConnect(IPin* pin)
{
    const HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    // Bytes are pulled, so the peer must offer random access.
    return pin->QueryInterface(IAsyncReader::iid, m_reader.ReleaseAndGetVoidAddress());
}

HRESULT CDemuxInputPin::CompleteConnect(IPin*) { return m_demultiplexer->OpenStream(m_reader.Get()); }

HRESULT CDemuxInputPin::BreakConnect()
{
    m_demultiplexer->CloseStream();
    m_reader.Reset();
    return S_OK;
}

// Filter

CDemultiplexer::CDemultiplexer(Choice choice)
    : CBaseFilter("demultiplexer", ClassOf(choice)),
      m_choice(choice),
      m_input(this),
      m_config(static_cast<IBaseFilter*>(this), ClassOf(choice), DvdParameters())
{
}

CDemultiplexer::~CDemultiplexer()
{
    // The streaming thread must end while the pins and the container are whole.
    Stop();
}

HRESULT CDemultiplexer::NonDelegatingQueryInterface(REFIID riid, void** object)
{
    if (riid == IModuleConfig::iid) return GetInterface(static_cast<IModuleConfig*>(&m_config), object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

int CDemultiplexer::GetPinCount() { return 1 + static_cast<int>(m_outputs.size()); }

CBasePin* CDemultiplexer::GetPin(int index)
{
    if (index == 0) return &m_input;
    if (index < 0 || index > static_cast<int>(m_outputs.size())) return nullptr;
    return m_outputs[index - 1].get();
}

HRESULT CDemultiplexer::OpenStream(IAsyncReader* reader)
{
    ASSERT_LOCK_HELD(m_filterLock);
    if (!reader) return E_POINTER;
    std::unique_ptr<ContainerReader> container;
    const HRESULT hr = ContainerReader::Open(
        reader, [this](const std::string& names) { return TakesContainer(m_choice, names); }, &container);
    if (FAILED(hr)) return hr;
    for (const auto& stream : container->Streams())
        m_outputs.push_back(std::make_unique<CDemuxOutputPin>(this, stream, container->Duration()));
    m_container = std::move(container);
    m_start = 0;
    m_stop = INT64_MAX;
    m_readFromStart = true;
    return S_OK;
}

void CDemultiplexer::CloseStream()
{
    for (auto& output : m_outputs) {
        if (ComPtr<IPin> peer = output->GetConnected()) {
            peer->Disconnect();
            output->Disconnect();
        }
        m_retired.push_back(std::move(output));
    }
    m_outputs.clear();
    m_container.reset();
}

HRESULT CDemultiplexer::Pause()
{
    std::lock_guard lock(m_filterLock);
    const bool wasStopped = IsStopped();
    const HRESULT hr = CBaseFilter::Pause();
    if (SUCCEEDED(hr) && wasStopped && m_container) StartStreaming();
    return hr;
}

HRESULT CDemultiplexer::Stop()
{
    std::lock_guard lock(m_filterLock);
    if (IsStopped()) return S_OK;
    InterruptStreaming();
    // Inactive pins decommit their buffers and stop their queues, which
    // frees a streaming thread waiting for either.
    const HRESULT hr = CBaseFilter::Stop();
    FinishStreaming();
    return hr;
}

HRESULT CDemultiplexer::Reposition(REFERENCE_TIME start, REFERENCE_TIME stop)
{
    std::lock_guard lock(m_filterLock);
    m_start = start;
    // A stop at the end is no stop: the container's duration may be an estimate.
    m_stop = m_container && stop < m_container->Duration() ? stop : INT64_MAX;
    if (IsStopped() || !m_container) return S_OK;
    InterruptStreaming();
    for (auto& output : m_outputs)
        if (output->IsConnected()) output->DeliverBeginFlush();
    FinishStreaming();
    for (auto& output : m_outputs)
        if (output->IsConnected()) output->DeliverEndFlush();
    StartStreaming();
    return S_OK;
}

void CDemultiplexer::StartStreaming()
{
    ASSERT_LOCK_HELD(m_filterLock);
    m_stopRequested = false;
    m_thread = std::thread(&CDemultiplexer::Stream, this, m_start, m_stop);
}

void CDemultiplexer::InterruptStreaming()
{
    ASSERT_LOCK_HELD(m_filterLock);
    m_stopRequested = true;
    if (!m_container) return;
    m_container->Interrupt(true);
    m_container->Reader()->BeginFlush();
}

void CDemultiplexer::FinishStreaming()
{
    ASSERT_LOCK_HELD(m_filterLock);
    if (m_thread.joinable()) m_thread.join();
    if (!m_container) return;
    m_container->Reader()->EndFlush();
    m_container->Interrupt(false);
}

HRESULT CDemultiplexer::Seek(REFERENCE_TIME start)
{
    // Right after probing, libavformat still holds the first packets.
    const bool atStart = m_readFromStart;
    m_readFromStart = false;
    return start == 0 && atStart ? S_OK : m_container->Seek(start);
}

void CDemultiplexer::Stream(REFERENCE_TIME start, REFERENCE_TIME stop)
{
    struct Route {
        CDemuxOutputPin* pin;
        bool open = true;
        bool first = true;
    };
    std::map<int, Route> routes;
    std::vector<int> indices;
    for (auto& output : m_outputs) {
        if (!output->IsConnected()) continue;
        routes.emplace(output->StreamIndex(), Route{output.get()});
        indices.push_back(output->StreamIndex());
    }
    if (routes.empty()) return;
    m_container->SelectStreams(indices);
    HRESULT hr = Seek(start);
    for (auto& [index, route] : routes) route.pin->DeliverNewSegment(start, stop, 1.0);

    size_t open = routes.size();
    AvPacketPtr packet = MakePacket();
    if (!packet) hr = E_OUTOFMEMORY;
    while (SUCCEEDED(hr) && open > 0 && !m_stopRequested) {
        hr = m_container->ReadPacket(packet.get());
        if (hr != S_OK) break;
        const auto found = routes.find(packet->stream_index);
        if (found != routes.end() && found->second.open) {
            Route& route = found->second;
            CDemuxOutputPin::PacketTimes times;
            times.start = m_container->PresentationTime(*packet);
            times.duration = m_container->PacketDuration(*packet);
            times.preroll = times.start && *times.start < start;
            times.discontinuity = route.first;
            // Decoding order decides where a stream ends: a frame shown
            // before the stop may follow one shown after it.
            const auto decodingTime = m_container->DecodingTime(*packet);
            const auto orderTime = decodingTime ? decodingTime : times.start;
            bool goesOn = false;
            if (!orderTime || *orderTime < stop) {
                const StreamResult delivered = route.pin->DeliverPacket(*packet, times);
                route.first = false;
                goesOn = delivered.Ok();
                if (delivered.IsOwnFailure()) hr = delivered.code();
            } else {
                route.pin->DeliverEndOfStream();
            }
            // Ended, stopped, or refused downstream (whoever refused has said why).
            if (!goesOn) {
                route.open = false;
                --open;
            }
        }
        av_packet_unref(packet.get());
    }
    if (m_stopRequested) return;
    // The error goes first, so the application hears of it before anything
    // downstream finishes on the end of stream.
    if (FAILED(hr)) NotifyEvent(EC_ERRORABORT, hr, 0);
    for (auto& [index, route] : routes)
        if (route.open) route.pin->DeliverEndOfStream();
}

void RegisterDemultiplexers()
{
    const struct {
        CLSID clsid;
        CDemultiplexer::Choice choice;
        DWORD merit;
    } entries[] = {
        {CLSID_Demultiplexer, CDemultiplexer::Choice::First, MERIT_NORMAL},
        {CLSID_SecondDemultiplexer, CDemultiplexer::Choice::Second, MERIT_NORMAL - 1},
    };
    for (const auto& entry : entries) {
        const auto choice = entry.choice;
        ClassRegistry::Instance().Register(entry.clsid, [choice](REFIID riid, void** object) {
            return QueryNewObject(new (std::nothrow) CDemultiplexer(choice), riid, object);
        });
        FilterMapper::Instance().RegisterFilter({entry.clsid, "Demultiplexer", entry.merit, {{MEDIATYPE_Stream, GUID_NULL}}});
    }
}
