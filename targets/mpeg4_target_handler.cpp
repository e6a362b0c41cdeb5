#include "targets/mpeg4_target_handler.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "components/component_interfaces.h"
#include "pipeline/graph_utils.h"
#include "platform/dshow/graph_pins.h"
#include "res/string_table.h"
#include "services/settings_store.h"
#include "targets/conversion_filters.h"
#include "targets/target_filters.h"

int AacBitRateIndex(int kbitPerSecond)
{
    for (size_t i = 0; i < kAacBitRates.size(); ++i)
        if (kAacBitRates[i] >= kbitPerSecond)
            return static_cast<int>(i);
    return static_cast<int>(kAacBitRates.size());
}

namespace {

// Encoder profile, then the multiplexer's two values.
constexpr int32_t kNetbookExtra[3] = {2, 0, 0};

}  // namespace

CMPEG4TargetHandler::CMPEG4TargetHandler()
{
    TargetVideoSettings netbookVideo{CLSID_AvcEncoder, 2, 1024, 576, 0, 3000};
    // Stereo: the netbook's player and speakers are, and 128 kbit/s spread over six channels sounds poor.
    TargetAudioSettings netbookAudio{CLSID_AacEncoder, 0, 128, 2};
    AddProfile(std::make_unique<CTargetProfile>(IDS_OPTIMIZED_FOR_NETBOOKS, &netbookVideo, &netbookAudio,
                                                kNetbookExtra, sizeof kNetbookExtra));
    SelectProfile(0);
}

void CMPEG4TargetHandler::ReleaseTaskObjects()
{
    m_videoEncoder.Reset();
    m_audioEncoder.Reset();
    m_graph.Reset();
}

HRESULT CMPEG4TargetHandler::AddEncoder(const GUID& clsid, const char* name, ComPtr<IBaseFilter>* encoder)
{
    HRESULT hr = CreateTargetFilter(clsid, encoder);
    if (SUCCEEDED(hr))
        hr = m_graph->AddFilter(encoder->Get(), name);
    return hr;
}

HRESULT CMPEG4TargetHandler::AddFilters(const QString& outputPath, IGraphBuilder* graph, IPin** videoIn,
                                        IPin** audioIn)
{
    if (!graph || !videoIn || !audioIn)
        return E_POINTER;
    ReleaseTaskObjects();
    m_outputPath = outputPath;
    m_graph = graph;
    HRESULT hr = AddEncoder(video.encoder, "Video Encoder", &m_videoEncoder);
    if (FAILED(hr))
        return hr;
    // Only the discard filter answers; an encoder's refusal is expected.
    AcceptAnyVideo(m_videoEncoder.Get());
    hr = AddEncoder(audio.encoder, "Audio Encoder", &m_audioEncoder);
    if (SUCCEEDED(hr))
        hr = FindPinByName(m_videoEncoder.Get(), "In", videoIn);
    if (SUCCEEDED(hr))
        hr = FindPinByName(m_audioEncoder.Get(), "In", audioIn);
    return hr;
}

bool CMPEG4TargetHandler::VideoGoesToDiscard() const
{
    return video.encoder == CLSID_VideoDiscard;
}

HRESULT CMPEG4TargetHandler::PrepareEncoderInputs(bool* videoReached, bool* audioReached)
{
    ComPtr<IPin> videoIn, audioIn;
    HRESULT hr = FindPinByName(m_videoEncoder.Get(), "In", videoIn.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = FindPinByName(m_audioEncoder.Get(), "In", audioIn.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    // The discard filter ends the video itself; it never reaches the file.
    *videoReached = !VideoGoesToDiscard() && IsPinConnected(videoIn.Get());
    *audioReached = IsPinConnected(audioIn.Get());
    if (*videoReached) {
        hr = AddFrameRateFilter(m_graph.Get(), videoIn.Get(), video);
        if (SUCCEEDED(hr))
            hr = AddResizeFilter(videoIn.Get(), m_graph.Get(), video);
        if (FAILED(hr))
            return hr;
    } else if (!VideoGoesToDiscard()) {
        // Left in, the multiplexer would wait for its end of stream forever.
        m_graph->RemoveFilter(m_videoEncoder.Get());
        m_videoEncoder.Reset();
    }
    if (*audioReached) {
        hr = AddResampleFilter(m_graph.Get(), audioIn.Get(), audio);
        if (FAILED(hr))
            return hr;
    } else {
        m_graph->RemoveFilter(m_audioEncoder.Get());
        m_audioEncoder.Reset();
    }
    return *videoReached || *audioReached ? S_OK : E_FAIL;
}

HRESULT CMPEG4TargetHandler::ConnectToMultiplexer(IBaseFilter* multiplexer, bool videoReached, bool audioReached)
{
    std::vector<IBaseFilter*> encoders;
    if (videoReached)
        encoders.push_back(m_videoEncoder.Get());
    if (audioReached)
        encoders.push_back(m_audioEncoder.Get());
    const char* const inputs[] = {"Input 0", "Input 1"};
    for (size_t i = 0; i < encoders.size(); ++i) {
        ComPtr<IPin> out, in;
        HRESULT hr = FindPinByName(encoders[i], "Out", out.ReleaseAndGetAddressOf());
        if (SUCCEEDED(hr))
            hr = FindPinByName(multiplexer, inputs[i], in.ReleaseAndGetAddressOf());
        if (SUCCEEDED(hr))
            hr = m_graph->ConnectDirect(out.Get(), in.Get(), nullptr);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CMPEG4TargetHandler::AddFileWriter(IBaseFilter* multiplexer)
{
    ComPtr<IBaseFilter> writer;
    HRESULT hr = CreateTargetFilter(CLSID_FileWriter, &writer);
    if (SUCCEEDED(hr))
        hr = SetOutputFile(writer.Get(), m_outputPath);
    if (SUCCEEDED(hr))
        hr = m_graph->AddFilter(writer.Get(), nullptr);
    ComPtr<IPin> out, in;
    if (SUCCEEDED(hr))
        hr = FindPinByName(multiplexer, "Output", out.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = FindPinByName(writer.Get(), "in", in.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = m_graph->ConnectDirect(out.Get(), in.Get(), nullptr);
    return hr;
}

HRESULT CMPEG4TargetHandler::CompleteGraph()
{
    if (!m_graph || !m_videoEncoder || !m_audioEncoder)
        return E_UNEXPECTED;  // no AddFilters since the last task
    bool videoReached = false, audioReached = false;
    HRESULT hr = PrepareEncoderInputs(&videoReached, &audioReached);
    ComPtr<IBaseFilter> multiplexer;
    if (SUCCEEDED(hr))
        hr = CreateTargetFilter(CLSID_Mp4Multiplexer, &multiplexer);
    if (SUCCEEDED(hr))
        hr = m_graph->AddFilter(multiplexer.Get(), nullptr);
    if (SUCCEEDED(hr))
        hr = ConfigureMultiplexer(multiplexer.Get());
    if (SUCCEEDED(hr))
        hr = ConfigureAudioEncoder();
    if (SUCCEEDED(hr))
        hr = ConfigureVideoEncoder();
    if (SUCCEEDED(hr))
        hr = ConnectToMultiplexer(multiplexer.Get(), videoReached, audioReached);
    if (SUCCEEDED(hr))
        hr = AddFileWriter(multiplexer.Get());
    if (SUCCEEDED(hr))
        ReleaseTaskObjects();
    return hr;
}

int CMPEG4TargetHandler::ExtraValue(int position) const
{
    const QByteArray& extra = Extra();
    int32_t value = 0;
    const qsizetype offset = qsizetype(position) * qsizetype(sizeof value);
    if (position >= 0 && offset + qsizetype(sizeof value) <= extra.size())
        std::memcpy(&value, extra.constData() + offset, sizeof value);
    return value;
}

HRESULT CMPEG4TargetHandler::ConfigureMultiplexer(IBaseFilter* multiplexer)
{
    using namespace component_params;
    return ConfigureModule(multiplexer, {{MuxFirst, VT_I4, double(ExtraValue(1))}, {MuxSecond, VT_I4, double(ExtraValue(2))}},
                           true);
}

HRESULT CMPEG4TargetHandler::ConfigureVideoEncoder()
{
    if (VideoGoesToDiscard() || !m_videoEncoder)
        return S_OK;
    using namespace component_params;
    const GUID& option = video.encoder == CLSID_AvcEncoder ? AvcOption : Mpeg4Option;
    HRESULT hr = ConfigureModule(m_videoEncoder.Get(), {{EncoderProfile, VT_I4, double(ExtraValue(0))}, {option, VT_I4, 1}});
    if (SUCCEEDED(hr))
        hr = ConfigureModule(m_videoEncoder.Get(),
                             {{EncoderMode, VT_I4, 0}, {BitRate, VT_I4, double(video.bitRate) * 1000.0}});
    if (SUCCEEDED(hr))
        hr = ConfigureModule(m_videoEncoder.Get(),
                             {{EncoderThreads, VT_I4, double(std::max(0, GetProfileInt(kGeneralSection, kEncoderThreadsEntry, 0)))}});
    return hr;
}

HRESULT CMPEG4TargetHandler::ConfigureAudioEncoder()
{
    if (!m_audioEncoder)
        return S_OK;
    return ConfigureModule(m_audioEncoder.Get(),
                           {{component_params::BitRate, VT_I4, double(AacBitRateIndex(audio.bitRate))}}, true);
}

QString CMPEG4TargetHandler::GetFileExtension() const
{
    return QStringLiteral("mp4");
}

QString CMPEG4TargetHandler::GetFormatName() const
{
    return QStringLiteral("MPEG-4");
}

int CMPEG4TargetHandler::GetAudioEncoderCount() const
{
    return 1;
}

void CMPEG4TargetHandler::GetAudioEncoder(int index, QString& name, GUID& clsid) const
{
    if (index != 0)
        return;
    name = LoadString(IDS_AAC_ENCODER);
    clsid = CLSID_AacEncoder;
}

int CMPEG4TargetHandler::GetVideoEncoderCount() const
{
    return 2;
}

void CMPEG4TargetHandler::GetVideoEncoder(int index, QString& name, GUID& clsid) const
{
    if (index == 0) {
        name = LoadString(IDS_AVC_ENCODER);
        clsid = CLSID_AvcEncoder;
    } else if (index == 1) {
        name = LoadString(IDS_MPEG4_PART2_ENCODER);
        clsid = CLSID_Mpeg4Encoder;
    }
}

void CMPEG4TargetHandler::GetAudioBitrates(QList<int>& rates) const
{
    for (int rate : kAacBitRates)
        rates << rate;
}
