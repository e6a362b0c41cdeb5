#include "targets/wmv_target_handler.h"

#include <QFile>

#include "components/component_interfaces.h"
#include "pipeline/graph_utils.h"
#include "res/program_resources.h"
#include "res/string_table.h"
#include "targets/target_filters.h"

namespace {

// Not read by this handler; kept with each profile as the format defines.
constexpr char kUnreadExtra[16] = {};

struct SizeProfile {
    int nameId, width, height;
};
constexpr SizeProfile kSizeProfiles[] = {
    {IDS_FAIR_QUALITY_320, 320, 240}, {IDS_HIGH_QUALITY_640, 640, 480}, {IDS_BEST_QUALITY_720, 720, 576}};

}  // namespace

// The resources live in a static library, whose registration object the
// linker drops unless something names it.
QString WmvProfileText(int width, int height)
{
    InitProgramResources();
    QFile resource(QStringLiteral(":/wmv_profile.xml"));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLocal8Bit(resource.readAll());
    text.replace(QLatin1String("%width%"), QString::number(width));
    text.replace(QLatin1String("%height%"), QString::number(height));
    return text;
}

CWMVTargetHandler::CWMVTargetHandler()
{
    for (const SizeProfile& size : kSizeProfiles) {
        const TargetVideoSettings sized{GUID_NULL, 1, size.width, size.height, 0, 0};
        AddProfile(std::make_unique<CTargetProfile>(size.nameId, &sized, nullptr, kUnreadExtra, sizeof kUnreadExtra));
    }
    SelectProfile(0);
}

HRESULT CWMVTargetHandler::AddFilters(const QString& outputPath, IGraphBuilder* graph, IPin** videoIn, IPin** audioIn)
{
    if (!graph || !videoIn || !audioIn)
        return E_POINTER;
    ComPtr<IWMProfileManager> manager;
    HRESULT hr = WMCreateProfileManager(manager.ReleaseAndGetAddressOf());
    ComPtr<IBaseFilter> writer;
    if (SUCCEEDED(hr))
        hr = CreateTargetFilter(CLSID_WMAsfWriter, &writer);
    if (SUCCEEDED(hr))
        hr = SetOutputFile(writer.Get(), outputPath);
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(writer.Get(), nullptr);
    if (SUCCEEDED(hr))
        hr = FindPinByName(writer.Get(), "Video Input 01", videoIn);
    if (SUCCEEDED(hr))
        hr = FindPinByName(writer.Get(), "Audio Input 01", audioIn);
    if (FAILED(hr))
        return hr;
    const QByteArray profileText = WmvProfileText(video.width, video.height).toUtf8();
    ComPtr<IConfigAsfWriter> config;
    if (FAILED(writer.As(&config)) || !config)
        return E_FAIL;
    ComPtr<IWMProfile> profile;
    hr = manager->LoadProfileByData(profileText.constData(), profile.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = config->ConfigureFilterUsingProfile(profile.Get());
    return hr;
}

HRESULT CWMVTargetHandler::CompleteGraph()
{
    return S_OK;
}

QString CWMVTargetHandler::GetFileExtension() const
{
    return QStringLiteral("wmv");
}

QString CWMVTargetHandler::GetFormatName() const
{
    return QStringLiteral("Windows Media Video (WMV)");
}

int CWMVTargetHandler::GetAudioEncoderCount() const
{
    return 1;
}

void CWMVTargetHandler::GetAudioEncoder(int, QString& name, GUID& clsid) const
{
    name = LoadString(IDS_WMA_ENCODER);
    clsid = GUID_NULL;
}

int CWMVTargetHandler::GetVideoEncoderCount() const
{
    return 1;
}

void CWMVTargetHandler::GetVideoEncoder(int, QString& name, GUID& clsid) const
{
    name = LoadString(IDS_WMV_ENCODER);
    clsid = GUID_NULL;
}
