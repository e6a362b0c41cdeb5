// File Source (Async.) -> a demultiplexer -> intelligent connect of each of
// its output pins to a sink that takes only raw video or raw audio, which is
// what the decoders must deliver. Oracles from ffprobe for the same file.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "components/common/media_format.h"
#include "platform/dshow/base_renderer.h"
#include "tests/platform/dshow/graph_harness.h"

namespace demux_testing {

inline constexpr CLSID CLSID_RawSink = MakeGuid("{A0000004-0000-4000-8000-000000000001}");

struct RawSampleRecord {
    std::optional<REFERENCE_TIME> start, end;
    long length;
};

// Takes raw video or raw audio as media_format describes them, nothing else.
class CRawSink final : public CBaseRenderer {
public:
    CRawSink();

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;

    std::vector<RawSampleRecord> Samples();
    // False when fewer than `count` samples arrived within ten seconds.
    [[nodiscard]] bool WaitForSamples(size_t count);
    CMediaType ConnectedType() { return Input()->CurrentMediaType(); }

private:
    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::vector<RawSampleRecord> m_samples;
};

// Registers the platform filters and the components (idempotent).
void RegisterEverything();

struct DemuxGraph {
    DemuxGraph(const std::string& path, REFCLSID demultiplexerClsid);

    // ConnectDirect of the source's "Output" to the demultiplexer's first pin.
    HRESULT ConnectSource();
    std::vector<ComPtr<IPin>> Outputs();
    // Intelligent connect of every output pin to a raw sink of its own;
    // the first failure.
    HRESULT ConnectAllToRawSinks();
    // Runs without a clock; the event codes up to the end.
    std::vector<long> Run();

    testing_filters::GraphHarness h;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> demultiplexer;
    std::vector<CRawSink*> sinks;  // in output pin order
    std::vector<ComPtr<IBaseFilter>> sinkRefs;
};

std::string PinId(IPin* pin);
// The class id of the filter whose output feeds `input` (GUID_NULL if none).
CLSID UpstreamClass(IPin* input);

// Oracles: the times of the frames ffprobe decodes in the first video
// stream (from the container's start; none where ffprobe has none), and the seconds of audio it decodes
// in the first audio stream.
std::vector<std::optional<REFERENCE_TIME>> ProbeVideoFrameTimes(const std::string& path);
double ProbeAudioSeconds(const std::string& path);

}  // namespace demux_testing
