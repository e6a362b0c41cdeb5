#include "pipeline/source_graph.h"

#include "components/component_ids.h"
#include "pipeline/graph_context.h"
#include "pipeline/graph_utils.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/media_guids.h"
#include "platform/dshow/media_type.h"

namespace {

HRESULT CreateFilter(const CLSID& id, ComPtr<IBaseFilter>* filter)
{
    return CoCreateInstance(id, nullptr, CLSCTX_ALL, IID_PPV_ARGS(filter->ReleaseAndGetAddressOf()));
}

// The network source for web addresses, else the given local reader, with
// the path loaded.
HRESULT AddLoadedSource(IGraphBuilder* graph, const QString& path, const CLSID& localReader,
                        ComPtr<IBaseFilter>* source)
{
    HRESULT hr = CreateFilter(IsWebAddress(path) ? CLSID_NetworkSource : localReader, source);
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(source->Get(), nullptr);
    if (FAILED(hr))
        return hr;
    ComPtr<IFileSourceFilter> fileSource;
    if (FAILED(source->As(&fileSource)))
        return E_FAIL;
    return fileSource->Load(path.toUtf8().constData(), nullptr);
}

// Adds the filter under its name and connects its first input directly to
// the upstream pin; a filter that does not take it is removed again.
HRESULT AddConnectedFilter(IGraphBuilder* graph, const CLSID& id, const char* name, IPin* upstream, IPin** videoPin)
{
    ComPtr<IBaseFilter> filter;
    HRESULT hr = CreateFilter(id, &filter);
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(filter.Get(), name);
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> input;
    if (FAILED(FindPin(filter.Get(), PINDIR_INPUT, GUID_NULL, input.ReleaseAndGetAddressOf())) ||
        FAILED(graph->ConnectDirect(upstream, input.Get(), nullptr)) ||
        FAILED(FindPin(filter.Get(), PINDIR_OUTPUT, MEDIATYPE_Video, videoPin))) {
        graph->RemoveFilter(filter.Get());
        return E_FAIL;
    }
    return S_OK;
}

HRESULT FirstOutputOf(IBaseFilter* filter, const GUID& preferred, const GUID& otherwise, IPin** pin)
{
    const HRESULT hr = FindPin(filter, PINDIR_OUTPUT, preferred, pin);
    return SUCCEEDED(hr) ? hr : FindPin(filter, PINDIR_OUTPUT, otherwise, pin);
}

// The graph's filters in its enumeration order.
std::vector<ComPtr<IBaseFilter>> FiltersOf(IGraphBuilder* graph, HRESULT* result)
{
    std::vector<ComPtr<IBaseFilter>> filters;
    ComPtr<IEnumFilters> enumFilters;
    *result = graph->EnumFilters(enumFilters.ReleaseAndGetAddressOf());
    if (FAILED(*result))
        return filters;
    enumFilters->Reset();
    ComPtr<IBaseFilter> filter;
    while (enumFilters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK)
        filters.push_back(filter);
    return filters;
}

}  // namespace

bool IsWebAddress(const QString& path)
{
    return path.startsWith(QLatin1String("http://"), Qt::CaseSensitive);
}

HRESULT BuildDefaultAudioGraph(CGraphContext* context)
{
    IGraphBuilder* graph = context->Graph();
    if (!graph)
        return E_FAIL;
    ComPtr<IBaseFilter> source;
    HRESULT hr = IsWebAddress(context->GetSourcePath())
                     ? AddLoadedSource(graph, context->GetSourcePath(), CLSID_NetworkSource, &source)
                     : graph->AddSourceFilter(context->GetSourcePath().toUtf8().constData(), nullptr, source.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> audioOut;
    hr = FirstOutputOf(source.Get(), MEDIATYPE_Audio, MEDIATYPE_Stream, audioOut.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    IPin* audioIn = context->AudioInputPin();
    if (!audioIn)
        return E_FAIL;
    hr = graph->Connect(audioOut.Get(), audioIn);
    if (FAILED(hr))
        return hr;
    FindSeekingPin(audioOut.Get(), context);
    return S_OK;
}

HRESULT BuildVideoChain(CGraphContext* context, IPin** videoOut)
{
    IGraphBuilder* graph = context->Graph();
    if (!graph)
        return E_FAIL;
    const QString path = context->GetSourcePath();
    ComPtr<IBaseFilter> source;
    HRESULT hr = AddLoadedSource(graph, path, CLSID_AsyncReader, &source);
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> streamPin, demuxVideo;
    if (FAILED(FindPin(source.Get(), PINDIR_OUTPUT, MEDIATYPE_Stream, streamPin.ReleaseAndGetAddressOf())))
        return AddSystemSource(graph, path, videoOut);
    if (FAILED(AddDemultiplexer(graph, CLSID_Demultiplexer, streamPin.Get(), demuxVideo.ReleaseAndGetAddressOf())) &&
        FAILED(AddDemultiplexer(graph, CLSID_SecondDemultiplexer, streamPin.Get(), demuxVideo.ReleaseAndGetAddressOf())))
        return AddSystemSource(graph, path, videoOut);
    for (const CLSID& decoder : {CLSID_H264Decoder, CLSID_Mpeg4Decoder, CLSID_Mpeg2Decoder}) {
        if (SUCCEEDED(AddVideoDecoder(graph, decoder, demuxVideo.Get(), videoOut)))
            return S_OK;
    }
    return AddSystemSource(graph, path, videoOut);
}

HRESULT AddDemultiplexer(IGraphBuilder* graph, const CLSID& id, IPin* streamPin, IPin** videoPin)
{
    return AddConnectedFilter(graph, id, "Demultiplexer", streamPin, videoPin);
}

HRESULT AddVideoDecoder(IGraphBuilder* graph, const CLSID& id, IPin* upstreamPin, IPin** videoPin)
{
    return AddConnectedFilter(graph, id, "Video Decoder", upstreamPin, videoPin);
}

HRESULT AddSystemSource(IGraphBuilder* graph, const QString& path, IPin** videoOut)
{
    ComPtr<IBaseFilter> source;
    const HRESULT hr = graph->AddSourceFilter(path.toUtf8().constData(), nullptr, source.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    return FirstOutputOf(source.Get(), MEDIATYPE_Video, MEDIATYPE_Stream, videoOut);
}

HRESULT BuildDefaultVideoGraph(CGraphContext* context)
{
    IGraphBuilder* graph = context->Graph();
    if (!graph)
        return E_FAIL;
    ComPtr<IPin> videoOut;
    HRESULT hr = BuildVideoChain(context, videoOut.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    IPin* videoIn = context->VideoInputPin();
    IPin* audioIn = context->AudioInputPin();
    if (!videoIn || !audioIn)
        return E_FAIL;
    hr = graph->Connect(videoOut.Get(), videoIn);
    if (FAILED(hr))
        return hr;
    FindSeekingPin(videoOut.Get(), context);
    ConfigureVideoDecoder(context);
    for (const ComPtr<IBaseFilter>& filter : FiltersOf(graph, &hr)) {
        ComPtr<IPin> audioOut;
        if (SUCCEEDED(FindPin(filter.Get(), PINDIR_OUTPUT, MEDIATYPE_Audio, audioOut.ReleaseAndGetAddressOf())) &&
            SUCCEEDED(graph->Connect(audioOut.Get(), audioIn)))
            break;
    }
    return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT FindSeekingPin(IPin* start, CGraphContext* context)
{
    ComPtr<IMediaSeeking> seeking;
    if (SUCCEEDED(start->QueryInterface(IID_PPV_ARGS(seeking.ReleaseAndGetAddressOf())))) {
        context->SetMediaSeeking(seeking.Get());
        return S_OK;
    }
    ComPtr<IPin> current = start;
    for (;;) {
        ComPtr<IPin> peer;
        HRESULT hr = current->ConnectedTo(peer.ReleaseAndGetAddressOf());
        if (FAILED(hr))
            return hr;
        PIN_INFO info{};
        hr = peer->QueryPinInfo(&info);
        if (FAILED(hr))
            return hr;
        ComPtr<IBaseFilter> filter;
        filter.Attach(info.pFilter);
        ComPtr<IPin> next;
        if (SUCCEEDED(FindPin(filter.Get(), PINDIR_OUTPUT, MEDIATYPE_Video, next.ReleaseAndGetAddressOf()))) {
            if (SUCCEEDED(next->QueryInterface(IID_PPV_ARGS(seeking.ReleaseAndGetAddressOf())))) {
                context->SetMediaSeeking(seeking.Get());
                return S_OK;
            }
        } else if (FAILED(FindPin(filter.Get(), PINDIR_OUTPUT, GUID_NULL, next.ReleaseAndGetAddressOf()))) {
            return S_OK;
        }
        current = next;
    }
}

HRESULT ConfigureVideoDecoder(CGraphContext* context)
{
    HRESULT hr = S_OK;
    for (const ComPtr<IBaseFilter>& filter : FiltersOf(context->Graph(), &hr)) {
        CLSID id = GUID_NULL;
        if (FAILED(filter->GetClassID(&id)) || id != CLSID_H264Decoder)
            continue;
        ComPtr<IPin> input;
        CMediaType type;
        if (FAILED(FindPin(filter.Get(), PINDIR_INPUT, GUID_NULL, input.ReleaseAndGetAddressOf())) ||
            FAILED(input->ConnectionMediaType(&type)))
            return E_FAIL;
        double framesPerSecond = 0;
        // Both video headers keep the frame time at the same place.
        const bool videoHeader = type.formattype == FORMAT_VideoInfo || type.formattype == FORMAT_VideoInfo2;
        if (videoHeader && type.cbFormat >= sizeof(VIDEOINFOHEADER)) {
            const auto* header = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
            if (header->AvgTimePerFrame > 0)
                framesPerSecond = 10'000'000.0 / double(header->AvgTimePerFrame);
        }
        return ConfigureModule(filter.Get(), {{component_params::DecoderOutputMode, VT_UI4, 2},
                                              {component_params::DecoderInputFrameRate, VT_R8, framesPerSecond}});
    }
    return hr;
}
