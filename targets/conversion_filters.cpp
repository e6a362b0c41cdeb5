#include "targets/conversion_filters.h"

#include <algorithm>
#include <cmath>
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

// A picture as the pin's connection carries it.
struct ConnectedPicture {
    QSize frame;    // stored
    QSize display;  // shown, square pixels
};

HRESULT ConnectedPictureOf(IPin* pin, ConnectedPicture* picture)
{
    CMediaType type;
    const HRESULT hr = pin->ConnectionMediaType(&type);
    if (FAILED(hr))
        return hr;
    const BITMAPINFOHEADER* header = nullptr;
    QSize aspect;
    if (type.formattype == FORMAT_VideoInfo) {
        if (const auto* info = type.FormatAs<VIDEOINFOHEADER>())
            header = &info->bmiHeader;
    } else if (type.formattype == FORMAT_VideoInfo2) {
        if (const auto* info = type.FormatAs<VIDEOINFOHEADER2>()) {
            header = &info->bmiHeader;
            aspect = QSize(int(std::min<uint32_t>(info->dwPictAspectRatioX, INT32_MAX)),
                           int(std::min<uint32_t>(info->dwPictAspectRatioY, INT32_MAX)));
        }
    }
    if (!header)
        return E_FAIL;
    // A negative height only says the rows run top-down.
    picture->frame = QSize(header->biWidth, std::abs(header->biHeight));
    picture->display = DisplaySize(picture->frame, aspect);
    return S_OK;
}

int EvenSide(double length)
{
    return std::max(2, 2 * int(std::lround(length / 2)));
}

HRESULT InsertScaler(IGraphBuilder* graph, IPin* videoPin, const QSize& target)
{
    using namespace component_params;
    return InsertConfigured(CLSID_Scaler,
                            {{ScalerKeepAspect, VT_UI4, 1},
                             {ScalerWidth, VT_UI4, double(target.width())},
                             {ScalerHeight, VT_UI4, double(target.height())},
                             {ScalerFullHd, VT_UI4, IsFullHdSize(target) ? 1.0 : 0.0}},
                            graph, videoPin);
}

}  // namespace

HRESULT AddResampleFilter(IGraphBuilder* graph, IPin* audioPin, const TargetAudioSettings& audio)
{
    if (audio.sampleRate == 0 && audio.maxChannels == 0)
        return S_OK;
    using namespace component_params;
    return InsertConfigured(
        CLSID_SampleRateConverter,
        {{SampleRate, VT_UI4, double(audio.sampleRate)}, {MaxChannels, VT_UI4, double(audio.maxChannels)}}, graph,
        audioPin);
}

HRESULT AddFrameRateFilter(IGraphBuilder* graph, IPin* videoPin, const TargetVideoSettings& video)
{
    if (video.frameRate == 0)
        return S_OK;
    return InsertConfigured(CLSID_FrameRateConverter, {{component_params::FrameRate, VT_UI4, double(video.frameRate)}},
                            graph, videoPin);
}

QSize DisplaySize(const QSize& frame, const QSize& aspect)
{
    if (aspect.width() <= 0 || aspect.height() <= 0 || frame.height() <= 0)
        return frame;
    // Same shape as stored (to the pixel): square pixels, nothing to change.
    const double width = double(frame.height()) * aspect.width() / aspect.height();
    if (std::abs(width - frame.width()) < 1.0)
        return frame;
    return QSize(EvenSide(width), frame.height());
}

std::optional<QSize> SizeWithin(const QSize& source, const QSize& limit)
{
    if (source.width() <= limit.width() && source.height() <= limit.height())
        return std::nullopt;
    const double scale = std::min(double(limit.width()) / source.width(), double(limit.height()) / source.height());
    return QSize(std::min(limit.width(), EvenSide(source.width() * scale)),
                 std::min(limit.height(), EvenSide(source.height() * scale)));
}

bool IsFullHdSize(const QSize& size)
{
    return size == QSize(1920, 1080);
}

HRESULT AddResizeFilter(IPin* videoPin, IGraphBuilder* graph, const TargetVideoSettings& video)
{
    if (video.resizeMode < 0 || video.resizeMode > 2)
        return E_FAIL;
    // The settings dialog's "Source" entry stores 0 x 0 without touching the
    // mode; a zero side cannot be a frame, so the display size is kept.
    const QSize limit(video.width, video.height);
    const bool keepsSize = video.resizeMode == 0 || limit.width() <= 0 || limit.height() <= 0;
    if (video.resizeMode == 1 && !keepsSize)
        return InsertScaler(graph, videoPin, limit);
    ConnectedPicture picture;
    const HRESULT hr = ConnectedPictureOf(videoPin, &picture);
    if (FAILED(hr))
        return keepsSize ? S_OK : hr;
    const QSize target = keepsSize ? picture.display : SizeWithin(picture.display, limit).value_or(picture.display);
    if (target == picture.frame && picture.display == picture.frame)
        return S_OK;
    return InsertScaler(graph, videoPin, target);
}
