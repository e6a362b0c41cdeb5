#include "tests/components/mp4_output_graph.h"

#include "components/common/module_config.h"
#include "components/component_ids.h"
#include "components/register_components.h"
#include "platform/dshow/filter_interfaces.h"
#include "tests/components/raw_file_source.h"
#include "tests/support/raw_media_filters.h"

namespace mp4_testing {

using namespace component_params;

RawVideoFormat VideoFormat(int width, int height, int fps)
{
    RawVideoFormat format;
    format.pixelFormat = AV_PIX_FMT_YUV420P;
    format.width = width;
    format.height = height;
    format.timePerFrame = UNITS / fps;
    return format;
}

RawAudioFormat AudioFormat(int sampleRate, int channels, AVSampleFormat sampleFormat)
{
    RawAudioFormat format;
    format.sampleFormat = sampleFormat;
    format.sampleRate = sampleRate;
    format.channels = channels;
    return format;
}

ComPtr<IBaseFilter> Create(REFCLSID clsid)
{
    ComPtr<IBaseFilter> filter;
    CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(filter.ReleaseAndGetAddressOf()));
    return filter;
}

ComPtr<IPin> NamedPin(IBaseFilter* filter, const char* name)
{
    ComPtr<IPin> pin;
    if (filter) filter->FindPin(name, pin.ReleaseAndGetAddressOf());
    return pin;
}

HRESULT Configure(IBaseFilter* filter, const std::vector<std::pair<GUID, int32_t>>& values)
{
    ComPtr<IModuleConfig> config;
    HRESULT hr = filter->QueryInterface(IID_PPV_ARGS(config.ReleaseAndGetAddressOf()));
    for (const auto& [parameter, number] : values) {
        if (FAILED(hr)) return hr;
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = number;
        hr = config->SetValue(&parameter, &value);
    }
    return FAILED(hr) ? hr : config->CommitChanges(nullptr);
}

namespace {

int32_t ValueOf(const VideoPart& video, const GUID& parameter, int32_t programValue)
{
    const auto it = video.overrides.find(parameter);
    return it == video.overrides.end() ? programValue : it->second;
}

// What the program sends a video encoder: two commits, no SetDefState.
HRESULT ConfigureVideoEncoder(IBaseFilter* encoder, const VideoPart& video)
{
    const GUID option = video.encoder == CLSID_AvcEncoder ? AvcOption : Mpeg4Option;
    HRESULT hr = Configure(encoder, {{EncoderProfile, ValueOf(video, EncoderProfile, 2)}, {option, ValueOf(video, option, 1)}});
    if (FAILED(hr)) return hr;
    return Configure(encoder, {{EncoderMode, ValueOf(video, EncoderMode, 0)}, {BitRate, video.bitRate}});
}

}  // namespace

Mp4Graph::Mp4Graph(const std::string& path, const std::optional<VideoPart>& video, const std::optional<AudioPart>& audio)
{
    RegisterComponents();
    auto built_ = [&]() -> HRESULT {
        const ComPtr<IBaseFilter> mux = Create(CLSID_Mp4Multiplexer);
        const ComPtr<IBaseFilter> writer = Create(CLSID_FileWriter);
        if (!mux || !writer) return E_FAIL;
        h.Add(mux.Get(), "");
        HRESULT hr = Configure(mux.Get(), {{MuxFirst, video ? 2 : 0}, {MuxSecond, video ? 3 : 0}});
        int nextInput = 0;
        if (SUCCEEDED(hr) && video) {
            const ComPtr<IBaseFilter> source(video->rawFile.empty()
                                                 ? static_cast<IBaseFilter*>(new testing_media::CRawVideoSource(video->format, video->frames))
                                                 : RawVideoFile(video->format, video->rawFile));
            const ComPtr<IBaseFilter> encoder = videoEncoder = Create(video->encoder);
            if (!encoder) return E_FAIL;
            h.Add(source.Get(), "Video Source");
            h.Add(encoder.Get(), "Video Encoder");
            hr = h.graph->ConnectDirect(h.Pin(source.Get(), PINDIR_OUTPUT), NamedPin(encoder.Get(), "In").Get(), nullptr);
            if (SUCCEEDED(hr)) hr = ConfigureVideoEncoder(encoder.Get(), *video);
            if (SUCCEEDED(hr))
                hr = h.graph->ConnectDirect(NamedPin(encoder.Get(), "Out").Get(), NamedPin(mux.Get(), "Input 0").Get(), nullptr);
            ++nextInput;
        }
        if (SUCCEEDED(hr) && audio) {
            const ComPtr<IBaseFilter> source(new testing_media::CRawAudioSource(audio->format, audio->seconds));
            const ComPtr<IBaseFilter> encoder = audioEncoder = Create(CLSID_AacEncoder);
            if (!encoder) return E_FAIL;
            h.Add(source.Get(), "Audio Source");
            h.Add(encoder.Get(), "Audio Encoder");
            hr = h.graph->ConnectDirect(h.Pin(source.Get(), PINDIR_OUTPUT), NamedPin(encoder.Get(), "In").Get(), nullptr);
            if (SUCCEEDED(hr)) hr = Configure(encoder.Get(), {{BitRate, audio->rateIndex}});
            const std::string input = "Input " + std::to_string(nextInput);
            if (SUCCEEDED(hr))
                hr = h.graph->ConnectDirect(NamedPin(encoder.Get(), "Out").Get(), NamedPin(mux.Get(), input.c_str()).Get(), nullptr);
        }
        ComPtr<IFileSinkFilter> sink;
        if (SUCCEEDED(hr)) hr = writer->QueryInterface(IID_PPV_ARGS(sink.ReleaseAndGetAddressOf()));
        if (SUCCEEDED(hr)) hr = sink->SetFileName(path.c_str(), nullptr);
        if (SUCCEEDED(hr)) hr = h.graph->AddFilter(writer.Get(), "");
        if (SUCCEEDED(hr))
            hr = h.graph->ConnectDirect(NamedPin(mux.Get(), "Output").Get(), NamedPin(writer.Get(), "in").Get(), nullptr);
        return hr;
    };
    built = built_();
}

std::vector<testing_filters::EventRecord> Mp4Graph::Run()
{
    std::vector<testing_filters::EventRecord> events;
    if (SUCCEEDED(h.RunFree())) events = h.EventsUntilEnd();
    h.control->Stop();
    return events;
}

}  // namespace mp4_testing
