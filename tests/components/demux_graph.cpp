#include "tests/components/demux_graph.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "components/register_components.h"
#include "platform/dshow/graph_pins.h"
#include "platform/dshow/platform_filters.h"
#include "tests/support/media_fixtures.h"

namespace demux_testing {

CRawSink::CRawSink() : CBaseRenderer("raw sink", CLSID_RawSink) {}

HRESULT CRawSink::CheckMediaType(const CMediaType* type)
{
    return ReadRawVideoType(*type) || ReadRawAudioType(*type) ? S_OK : S_FALSE;
}

HRESULT CRawSink::DoRenderSample(IMediaSample* sample)
{
    RawSampleRecord record{};
    REFERENCE_TIME start, end;
    const HRESULT timed = sample->GetTime(&start, &end);
    if (SUCCEEDED(timed)) record.start = start;
    if (timed == S_OK) record.end = end;
    record.length = sample->GetActualDataLength();
    {
        std::lock_guard lock(m_lock);
        m_samples.push_back(record);
    }
    m_arrived.notify_all();
    return S_OK;
}

bool CRawSink::WaitForSamples(size_t count)
{
    std::unique_lock lock(m_lock);
    return m_arrived.wait_for(lock, std::chrono::seconds(10), [&] { return m_samples.size() >= count; });
}

std::vector<RawSampleRecord> CRawSink::Samples()
{
    std::lock_guard lock(m_lock);
    return m_samples;
}

void RegisterEverything()
{
    RegisterPlatformFilters();
    RegisterComponents();
}

DemuxGraph::DemuxGraph(const std::string& path, REFCLSID demultiplexerClsid)
{
    CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_ALL, IID_PPV_ARGS(source.ReleaseAndGetAddressOf()));
    CoCreateInstance(demultiplexerClsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(demultiplexer.ReleaseAndGetAddressOf()));
    if (!source || !demultiplexer) return;
    source.As<IFileSourceFilter>()->Load(path.c_str(), nullptr);
    h.Add(source.Get(), "Source");
    h.Add(demultiplexer.Get(), "Demultiplexer");
}

HRESULT DemuxGraph::ConnectSource()
{
    IPin* output = h.Pin(source.Get(), PINDIR_OUTPUT);
    IPin* input = h.Pin(demultiplexer.Get(), PINDIR_INPUT);
    if (!output || !input) return E_FAIL;
    return h.graph->ConnectDirect(output, input, nullptr);
}

std::vector<ComPtr<IPin>> DemuxGraph::Outputs() { return PinsOf(demultiplexer.Get(), PINDIR_OUTPUT); }

HRESULT DemuxGraph::ConnectAllToRawSinks()
{
    for (const auto& output : Outputs()) {
        auto* sink = new CRawSink();
        sinks.push_back(sink);
        sinkRefs.emplace_back(sink);
        h.Add(sink, "Sink");
        const HRESULT hr = h.graph->Connect(output.Get(), h.Pin(sink, PINDIR_INPUT));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

std::vector<long> DemuxGraph::Run()
{
    if (FAILED(h.RunFree())) return {};
    auto codes = h.EventCodesUntilEnd();
    h.control->Stop();
    return codes;
}

std::string PinId(IPin* pin)
{
    LPOLESTR id = nullptr;
    if (FAILED(pin->QueryId(&id))) return "";
    std::string text = id;
    CoTaskMemFree(id);
    return text;
}

CLSID UpstreamClass(IPin* input)
{
    ComPtr<IPin> peer;
    if (FAILED(input->ConnectedTo(peer.ReleaseAndGetAddressOf()))) return GUID_NULL;
    CLSID clsid = GUID_NULL;
    if (auto filter = FilterOf(peer.Get())) filter->GetClassID(&clsid);
    return clsid;
}

std::vector<std::optional<REFERENCE_TIME>> ProbeVideoFrameTimes(const std::string& path)
{
    const std::string quoted = testing_media::Quoted(path);
    const double start = std::atof(
        testing_media::RunCommand("ffprobe -v error -show_entries format=start_time -of csv=p=0 " + quoted).c_str());
    std::istringstream frames(testing_media::RunCommand(
        "ffprobe -v error -select_streams v:0 -show_entries frame=best_effort_timestamp_time -of flat " + quoted));
    // frames.frame.N.best_effort_timestamp_time="0.540000", between side data lines.
    const std::string key = ".best_effort_timestamp_time=\"";
    std::vector<std::optional<REFERENCE_TIME>> times;
    for (std::string line; std::getline(frames, line);) {
        const auto at = line.find(key);
        if (at == std::string::npos) continue;
        const char* value = line.c_str() + at + key.size();
        // "N/A": ffprobe could not time the frame either.
        if (*value == 'N') times.emplace_back();
        else times.push_back(std::llround((std::atof(value) - start) * UNITS));
    }
    return times;
}

double ProbeAudioSeconds(const std::string& path)
{
    const std::string quoted = testing_media::Quoted(path);
    const double rate = std::atof(testing_media::RunCommand(
        "ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate -of csv=p=0 " + quoted).c_str());
    std::istringstream frames(testing_media::RunCommand(
        "ffprobe -v error -select_streams a:0 -show_entries frame=nb_samples -of csv=p=0 " + quoted));
    double samples = 0;
    for (std::string line; std::getline(frames, line);) samples += std::atof(line.c_str());
    return rate > 0 ? samples / rate : 0;
}

}  // namespace demux_testing
