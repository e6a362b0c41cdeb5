// The netbook conversion (1080p H.264 + AAC in; 1024x576 H.264 at 3 Mbit/s,
// AAC 128 kbit/s, MP4 out) through our components, against the ffmpeg
// command doing the same work with the same x264 settings. Our graph should
// take no more than 5 % longer than ffmpeg on the same machine.
//
// Usage: netbook_conversion [runs]  (default 1; the best run of each counts)
// The one-minute source clip is made once with the ffmpeg command and kept
// in <temp>/tavimo-bench for later runs; outputs go to a folder removed at
// the end.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "components/component_ids.h"
#include "components/encode/video_encoder.h"
#include "components/register_components.h"
#include "platform/dshow/filter_interfaces.h"
#include "tests/components/mp4_output_graph.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace {

using namespace component_params;
using mp4_testing::Configure;
using mp4_testing::Create;
using mp4_testing::NamedPin;

constexpr int kWidth = 1024, kHeight = 576;
constexpr int kVideoBitRate = 3'000'000;
constexpr int kAacRateIndex = 18;  // 128 kbit/s

struct Measurement {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Made once: encoding a minute of 1080p takes longer than converting it.
std::string SourceClip()
{
    const auto folder = std::filesystem::temp_directory_path() / "tavimo-bench";
    const auto clip = folder / "netbook-source-1080p25-60s.mp4";
    if (std::filesystem::exists(clip)) return clip.string();
    std::filesystem::create_directories(folder);
    const auto partial = folder / "partial.mp4";
    std::puts("making the one-minute 1080p source clip (kept for later runs)...");
    const bool made = testing_media::MakeMedia(
        partial.string(),
        "-f lavfi -i testsrc2=size=1920x1080:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 -t 60 "
        "-c:v libx264 -preset veryfast -b:v 8M -pix_fmt yuv420p -c:a aac -ac 2 -b:a 160k");
    if (!made) return {};
    std::filesystem::rename(partial, clip);
    return clip.string();
}

class OurGraph {
public:
    HRESULT Build(const std::string& input, const std::string& output);
    HRESULT Run();

private:
    ComPtr<IBaseFilter> Add(REFCLSID clsid, const char* name);
    HRESULT Link(IBaseFilter* from, const char* out, IBaseFilter* to, const char* in);

    testing_filters::GraphHarness h;
};

ComPtr<IBaseFilter> OurGraph::Add(REFCLSID clsid, const char* name)
{
    ComPtr<IBaseFilter> filter = Create(clsid);
    if (filter && FAILED(h.graph->AddFilter(filter.Get(), name))) filter.Reset();
    return filter;
}

HRESULT OurGraph::Link(IBaseFilter* from, const char* out, IBaseFilter* to, const char* in)
{
    const ComPtr<IPin> output = NamedPin(from, out), input = NamedPin(to, in);
    if (!output || !input) return VFW_E_NOT_FOUND;
    return h.graph->ConnectDirect(output.Get(), input.Get(), nullptr);
}

HRESULT OurGraph::Build(const std::string& input, const std::string& output)
{
    const auto source = Add(CLSID_AsyncReader, "Source");
    const auto demux = Add(CLSID_Demultiplexer, "Demultiplexer");
    const auto videoDecoder = Add(CLSID_H264Decoder, "Video Decoder");
    const auto scaler = Add(CLSID_Scaler, "Scaler");
    const auto videoEncoder = Add(CLSID_AvcEncoder, "AVC Encoder");
    const auto audioDecoder = Add(CLSID_AudioDecoder, "Audio Decoder");
    const auto audioEncoder = Add(CLSID_AacEncoder, "AAC Encoder");
    const auto mux = Add(CLSID_Mp4Multiplexer, "MP4 Multiplexer");
    const auto writer = Add(CLSID_FileWriter, "File Writer");
    if (!source || !demux || !videoDecoder || !scaler || !videoEncoder || !audioDecoder || !audioEncoder || !mux ||
        !writer)
        return REGDB_E_CLASSNOTREG;

    ComPtr<IFileSourceFilter> load;
    ComPtr<IFileSinkFilter> save;
    HRESULT hr = source->QueryInterface(IID_PPV_ARGS(load.ReleaseAndGetAddressOf()));
    if (SUCCEEDED(hr)) hr = load->Load(input.c_str(), nullptr);
    if (SUCCEEDED(hr)) hr = writer->QueryInterface(IID_PPV_ARGS(save.ReleaseAndGetAddressOf()));
    if (SUCCEEDED(hr)) hr = save->SetFileName(output.c_str(), nullptr);
    if (SUCCEEDED(hr)) hr = Configure(scaler.Get(), {{ScalerKeepAspect, 1}, {ScalerWidth, kWidth}, {ScalerHeight, kHeight}});
    if (SUCCEEDED(hr)) hr = Configure(videoEncoder.Get(), {{EncoderProfile, 2}, {AvcOption, 1}});
    if (SUCCEEDED(hr)) hr = Configure(videoEncoder.Get(), {{EncoderMode, 0}, {BitRate, kVideoBitRate}});
    if (SUCCEEDED(hr)) hr = Configure(audioEncoder.Get(), {{BitRate, kAacRateIndex}});
    if (SUCCEEDED(hr)) hr = Configure(mux.Get(), {{MuxFirst, 2}, {MuxSecond, 3}});
    const struct {
        IBaseFilter* from;
        const char* out;
        IBaseFilter* to;
        const char* in;
    } links[] = {
        {source.Get(), "Output", demux.Get(), "Input"},
        {demux.Get(), "Video", videoDecoder.Get(), "In"},
        {videoDecoder.Get(), "Out", scaler.Get(), "In"},
        {scaler.Get(), "Out", videoEncoder.Get(), "In"},
        {videoEncoder.Get(), "Out", mux.Get(), "Input 0"},
        {demux.Get(), "Audio", audioDecoder.Get(), "In"},
        {audioDecoder.Get(), "Out", audioEncoder.Get(), "In"},
        {audioEncoder.Get(), "Out", mux.Get(), "Input 1"},
        {mux.Get(), "Output", writer.Get(), "in"},
    };
    for (const auto& link : links) {
        if (FAILED(hr)) break;
        hr = Link(link.from, link.out, link.to, link.in);
        if (FAILED(hr)) std::fprintf(stderr, "connecting %s -> %s failed: 0x%08X\n", link.out, link.in, unsigned(hr));
    }
    return hr;
}

HRESULT OurGraph::Run()
{
    HRESULT hr = h.RunFree();
    if (SUCCEEDED(hr)) {
        const auto events = h.EventsUntilEnd();
        if (events.empty() || events.back().first != EC_COMPLETE)
            hr = events.empty() ? E_FAIL : static_cast<HRESULT>(events.back().second);
    }
    h.control->Stop();
    return hr;
}

Measurement ConvertWithComponents(const std::string& input, const std::string& output)
{
    Measurement m;
    const auto start = std::chrono::steady_clock::now();
    {
        OurGraph graph;
        HRESULT hr = graph.Build(input, output);
        if (SUCCEEDED(hr)) hr = graph.Run();
        m.ok = SUCCEEDED(hr);
        if (!m.ok) std::fprintf(stderr, "our conversion failed: 0x%08X\n", unsigned(hr));
    }
    m.seconds = SecondsSince(start);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    m.peakKiB = usage.ru_maxrss;
    return m;
}

// The same conversion by the ffmpeg command: the encoder's preset, profile,
// thread count and bit rates, bicubic scaling into the same letterbox.
std::vector<std::string> FfmpegArguments(const std::string& input, const std::string& output)
{
    const std::string size = std::to_string(kWidth) + ":" + std::to_string(kHeight);
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    return {"ffmpeg", "-nostdin", "-y", "-v", "error", "-i", input,
            "-vf", "scale=" + size + ":force_original_aspect_ratio=decrease:flags=bicubic,pad=" + size +
                       ":(ow-iw)/2:(oh-ih)/2,setsar=1",
            "-c:v", "libx264", "-preset", kX264Preset, "-profile:v", "high", "-b:v", std::to_string(kVideoBitRate / 1000) + "k",
            "-threads:v", std::to_string(threads), "-c:a", "aac", "-b:a", "128k", "-movflags", "+faststart", output};
}

// wait4 gives this child's own usage, where RUSAGE_CHILDREN would also count
// the ffmpeg that made the source clip.
Measurement ConvertWithFfmpeg(const std::string& input, const std::string& output)
{
    Measurement m;
    std::vector<std::string> arguments = FfmpegArguments(input, output);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) return m;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return m;
    m.seconds = SecondsSince(start);
    m.peakKiB = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

void Describe(const char* who, const Measurement& m, const std::string& output)
{
    const testing_media::Probe probe(output);
    const int video = probe.FirstStream("video");
    std::printf("%-8s %7.2f s  peak %6.1f MiB  %s  %sx%s  %.1f s  %.0f kbit/s%s\n", who, m.seconds, m.peakKiB / 1024.0,
                probe.Stream(video, "codec_name").c_str(), probe.Stream(video, "width").c_str(),
                probe.Stream(video, "height").c_str(), probe.Duration(), probe.Number("format.bit_rate") / 1000,
                m.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    const std::string clip = SourceClip();
    if (clip.empty()) {
        std::fputs("could not make the source clip with the ffmpeg command\n", stderr);
        return 1;
    }
    RegisterComponents();
    testing_files::TempFolder folder;
    const std::string ours = folder.File("ours.mp4"), theirs = folder.File("ffmpeg.mp4");
    Measurement best[2];
    for (int run = 0; run < runs; ++run) {
        const Measurement results[2] = {ConvertWithComponents(clip, ours), ConvertWithFfmpeg(clip, theirs)};
        for (int i = 0; i < 2; ++i)
            if (run == 0 || results[i].seconds < best[i].seconds) best[i] = results[i];
    }
    std::printf("netbook conversion of a one-minute 1080p clip, x264 preset %s, best of %d:\n", kX264Preset, runs);
    Describe("ours", best[0], ours);
    Describe("ffmpeg", best[1], theirs);
    std::printf("ratio ours / ffmpeg: %.3f (goal <= 1.05)\n", best[0].seconds / best[1].seconds);
    return best[0].ok && best[1].ok ? 0 : 1;
}
