#include "targets/conversion_filters.h"

#include <algorithm>
#include <cstdlib>

#include "components/component_ids.h"
#include "pipeline/graph_utils.h"
#include "platform/dshow/media_type.h"
#include "targets/target_filters.h"

namespace {

// Creates the converter, sends its settings and splices it in front of `pin`.
HRESULT InsertConfigured(const CLSID& id, std::initializer_list<ModuleSetting> settings, IGraphBuilder* graph,
                         IPin* pin)
{
    ComPtr<IBaseFilter> filter;
    HRESULT hr = CreateTargetFilter(id, &filter);
    if (SUCCEEDED(hr))
        hr = ConfigureModule(filter.Get(), settings);
    if (SUCCEEDED(hr))
        hr = InsertFilterBefore(filter.Get(), graph, pin);
    return hr;
}

// The frame size of the pin's connection.
HRESULT ConnectedFrameSize(IPin* pin, QSize* size)
{
    CMediaType type;
    const HRESULT hr = pin->ConnectionMediaType(&type);
    if (FAILED(hr))
        return hr;
    const BITMAPINFOHEADER* header = nullptr;
    if (type.formattype == FORMAT_VideoInfo) {
        if (const auto* info = type.FormatAs<VIDEOINFOHEADER>())
            header = &info->bmiHeader;
    } else if (type.formattype == FORMAT_VideoInfo2) {
        if (const auto* info = type.FormatAs<VIDEOINFOHEADER2>())
            header = &info->bmiHeader;
    }
    if (!header)
        return E_FAIL;
    // A negative height only says the rows run top-down.
    *size = QSize(header->biWidth, std::abs(header->biHeight));
    return S_OK;
}

}  // namespace

HRESULT AddResampleFilter(IGraphBuilder* graph, IPin* audioPin, const TargetAudioSettings& audio)
{
    if (audio.sampleRate == 0)
        return S_OK;
    return InsertConfigured(CLSID_SampleRateConverter, {{component_params::SampleRate, VT_UI4, double(audio.sampleRate)}},
                            graph, audioPin);
}

HRESULT AddFrameRateFilter(IGraphBuilder* graph, IPin* videoPin, const TargetVideoSettings& video)
{
    if (video.frameRate == 0)
        return S_OK;
    return InsertConfigured(CLSID_FrameRateConverter, {{component_params::FrameRate, VT_UI4, double(video.frameRate)}},
                            graph, videoPin);
}

std::optional<QSize> SizeWithin(const QSize& source, const QSize& limit)
{
    if (source.width() < limit.width() && source.height() < limit.height())
        return std::nullopt;
    return QSize(std::min(source.width(), limit.width()), std::min(source.height(), limit.height()));
}

bool IsFullHdSize(const QSize& size)
{
    return size == QSize(1920, 1080);
}

HRESULT AddResizeFilter(IPin* videoPin, IGraphBuilder* graph, const TargetVideoSettings& video)
{
    if (video.resizeMode == 0)
        return S_OK;
    if (video.resizeMode != 1 && video.resizeMode != 2)
        return E_FAIL;
    // The settings dialog's "Source" entry stores 0 x 0 without touching the
    // mode; a zero side cannot be a frame, so the source size is kept.
    const QSize limit(video.width, video.height);
    if (limit.width() <= 0 || limit.height() <= 0)
        return S_OK;
    QSize target = limit;
    if (video.resizeMode == 2) {
        QSize source;
        const HRESULT hr = ConnectedFrameSize(videoPin, &source);
        if (FAILED(hr))
            return hr;
        const std::optional<QSize> within = SizeWithin(source, limit);
        if (!within)
            return S_OK;
        target = *within;
    }
    using namespace component_params;
    if (IsFullHdSize(target))
        return InsertConfigured(CLSID_Scaler,
                                {{ScalerKeepAspect, VT_UI4, 1},
                                 {ScalerWidth, VT_UI4, double(target.width())},
                                 {ScalerHeight, VT_UI4, double(target.height())},
                                 {ScalerFullHd, VT_UI4, 1}},
                                graph, videoPin);
    return InsertConfigured(CLSID_Scaler,
                            {{ScalerKeepAspect, VT_UI4, 1},
                             {ScalerWidth, VT_UI4, double(target.width())},
                             {ScalerHeight, VT_UI4, double(target.height())}},
                            graph, videoPin);
}
