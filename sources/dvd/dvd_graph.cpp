#include "sources/dvd/dvd_graph.h"

#include <cstring>

#include "components/component_interfaces.h"
#include "pipeline/graph_context.h"
#include "pipeline/graph_utils.h"
#include "pipeline/source_graph.h"
#include "platform/com/class_registry.h"
#include "sources/dvd/dvd_structure.h"

namespace {

HRESULT CreateFilter(const CLSID& id, ComPtr<IBaseFilter>* filter)
{
    return CoCreateInstance(id, nullptr, CLSCTX_ALL, IID_PPV_ARGS(filter->ReleaseAndGetAddressOf()));
}

// The first output pin whose identifier starts with "Video".
HRESULT FindVideoPin(IBaseFilter* filter, IPin** pin)
{
    ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    for (ComPtr<IPin> candidate; pins->Next(1, candidate.ReleaseAndGetAddressOf(), nullptr) == S_OK;) {
        PIN_DIRECTION direction = PINDIR_INPUT;
        LPOLESTR id = nullptr;
        if (FAILED(candidate->QueryDirection(&direction)) || direction != PINDIR_OUTPUT ||
            FAILED(candidate->QueryId(&id)))
            continue;
        const bool video = std::strncmp(id, "Video", 5) == 0;
        CoTaskMemFree(id);
        if (video) {
            *pin = candidate.Detach();
            return S_OK;
        }
    }
    return E_FAIL;
}

}  // namespace

HRESULT ConfigureDvdDemultiplexer(IBaseFilter* demultiplexer)
{
    using namespace component_params;
    return ConfigureModule(demultiplexer, {{DvdDemux1, VT_I4, 1},
                                           {DvdDemux2, VT_I4, 0x1000000},
                                           {DvdDemux3, VT_I4, 0},
                                           {DvdDemux4, VT_I4, 0},
                                           {DvdDemux5, VT_I4, 1},
                                           {DvdDemux6, VT_I4, 1}});
}

HRESULT BuildDvdGraph(IGraphBuilder* graph, const CTitleInfo& title, IPin** videoOut, IPin** audioOut,
                      CGraphContext* context)
{
    if (!graph || !videoOut || !audioOut) return E_POINTER;
    ComPtr<IBaseFilter> source, demultiplexer, audioDecoder, videoDecoder;
    HRESULT hr = CreateFilter(CLSID_DvdSource, &source);
    if (FAILED(hr)) return hr;
    ComPtr<IFileSourceFilter> file;
    ComPtr<IDvdSourceRanges> ranges;
    if (FAILED(source->QueryInterface(IID_PPV_ARGS(file.ReleaseAndGetAddressOf()))) ||
        FAILED(source->QueryInterface(IID_PPV_ARGS(ranges.ReleaseAndGetAddressOf()))))
        return E_FAIL;
    hr = file->Load(title.GetVobFile().toUtf8().constData(), nullptr);
    if (FAILED(hr)) return hr;
    for (const CSectorRange& range : title.m_ranges) {
        hr = ranges->AddRange(range.startSector, range.endSector);
        if (FAILED(hr)) return hr;
    }
    if (FAILED(hr = graph->AddFilter(source.Get(), nullptr))) return hr;

    if (FAILED(hr = CreateFilter(CLSID_SecondDemultiplexer, &demultiplexer))) return hr;
    if (FAILED(hr = ConfigureDvdDemultiplexer(demultiplexer.Get()))) return hr;
    if (FAILED(hr = graph->AddFilter(demultiplexer.Get(), nullptr))) return hr;
    if (FAILED(hr = CreateFilter(CLSID_Ac3Decoder, &audioDecoder))) return hr;
    if (FAILED(hr = graph->AddFilter(audioDecoder.Get(), nullptr))) return hr;
    if (FAILED(hr = CreateFilter(CLSID_Mpeg2Decoder, &videoDecoder))) return hr;
    if (FAILED(hr = graph->AddFilter(videoDecoder.Get(), nullptr))) return hr;

    ComPtr<IPin> sourceOut, demuxIn;
    if (FAILED(hr = FindPinByName(source.Get(), "Output", sourceOut.ReleaseAndGetAddressOf()))) return hr;
    if (FAILED(hr = FindPinByName(demultiplexer.Get(), "Input", demuxIn.ReleaseAndGetAddressOf()))) return hr;
    if (FAILED(hr = graph->ConnectDirect(sourceOut.Get(), demuxIn.Get(), nullptr))) return hr;
    if (context) FindSeekingPin(sourceOut.Get(), context);

    ComPtr<IPin> videoPin, decoderIn;
    if (FAILED(hr = FindVideoPin(demultiplexer.Get(), videoPin.ReleaseAndGetAddressOf()))) return hr;
    if (FAILED(hr = FindPinByName(videoDecoder.Get(), "In", decoderIn.ReleaseAndGetAddressOf()))) return hr;
    if (FAILED(hr = graph->ConnectDirect(videoPin.Get(), decoderIn.Get(), nullptr))) return hr;

    ComPtr<IPin> audioPin;
    hr = FindPin(demultiplexer.Get(), PINDIR_OUTPUT, MEDIATYPE_Audio, audioPin.ReleaseAndGetAddressOf(),
                 title.m_audio);
    if (FAILED(hr)) return hr;
    ComPtr<IPin> audio = audioPin;
    if (PinHasMediaType(audioPin.Get(), MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3) == S_OK) {
        ComPtr<IPin> ac3In;
        if (FAILED(hr = FindPinByName(audioDecoder.Get(), "In", ac3In.ReleaseAndGetAddressOf()))) return hr;
        if (FAILED(hr = graph->ConnectDirect(audioPin.Get(), ac3In.Get(), nullptr))) return hr;
        if (FAILED(hr = FindPinByName(audioDecoder.Get(), "Out", audio.ReleaseAndGetAddressOf()))) return hr;
    }

    if (title.m_subtitles >= 0) {
        const std::string name = "Subpicture (ID 189/" + std::to_string(32 + title.m_subtitles) + " @ Prog# 0)";
        ComPtr<IPin> subpicture, subpictureIn;
        // Without the stream the title goes without subtitles.
        if (SUCCEEDED(FindPinByName(demultiplexer.Get(), name.c_str(), subpicture.ReleaseAndGetAddressOf())) &&
            SUCCEEDED(FindPinByName(videoDecoder.Get(), "SubPicture In", subpictureIn.ReleaseAndGetAddressOf())))
            graph->ConnectDirect(subpicture.Get(), subpictureIn.Get(), nullptr);
    }

    ComPtr<IPin> video;
    if (FAILED(hr = FindPinByName(videoDecoder.Get(), "Out", video.ReleaseAndGetAddressOf()))) return hr;
    *videoOut = video.Detach();
    *audioOut = audio.Detach();
    return S_OK;
}

HRESULT ApplyTrim(IGraphBuilder* graph, const CTitleInfo& title)
{
    if (!graph) return E_FAIL;
    if (title.m_startTime < 0 && title.m_stopTime < 0) return S_OK;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaSeeking> seeking;
    if (FAILED(graph->QueryInterface(IID_PPV_ARGS(control.ReleaseAndGetAddressOf()))) ||
        FAILED(graph->QueryInterface(IID_PPV_ARGS(seeking.ReleaseAndGetAddressOf()))))
        return S_OK;
    control->Pause();
    LONGLONG start = title.m_startTime < 0 ? 0 : title.m_startTime;
    LONGLONG stop = title.m_stopTime;
    // A start alone keeps the end where it is.
    seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop,
                          stop < 0 ? AM_SEEKING_NoPositioning : AM_SEEKING_AbsolutePositioning);
    return S_OK;
}
