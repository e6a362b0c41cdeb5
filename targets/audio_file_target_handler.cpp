#include "targets/audio_file_target_handler.h"

#include "components/component_ids.h"
#include "pipeline/graph_utils.h"
#include "platform/dshow/graph_pins.h"
#include "res/string_table.h"
#include "targets/conversion_filters.h"
#include "targets/target_filters.h"

namespace {

constexpr AudioFileFormat kWave{CLSID_WavWriter, IDS_PCM_AUDIO, "wav", "Wave Audio (WAV)"};
constexpr AudioFileFormat kLame{CLSID_LameMp3Writer, IDS_MP3_ENCODER, "mp3", "LAME MP3 Encoded Audio (MP3)"};

}  // namespace

CAudioFileTargetHandler::CAudioFileTargetHandler(const AudioFileFormat& format) : m_format(format)
{
    const TargetAudioSettings sourceRate{GUID_NULL, 0, 0};
    const TargetAudioSettings cdRate{GUID_NULL, 44100, 0};
    AddProfile(std::make_unique<CTargetProfile>(IDS_COMPUTER_PLAYBACK, nullptr, &sourceRate));
    AddProfile(std::make_unique<CTargetProfile>(IDS_AUDIO_CD_COMPATIBLE, nullptr, &cdRate));
    SelectProfile(0);
}

HRESULT CAudioFileTargetHandler::AddFilters(const QString& outputPath, IGraphBuilder* graph, IPin** videoIn,
                                            IPin** audioIn)
{
    if (!graph || !videoIn || !audioIn)
        return E_POINTER;
    m_outputPath = outputPath;
    m_graph = graph;
    m_writer.Reset();
    ComPtr<IBaseFilter> discard;
    HRESULT hr = CreateTargetFilter(CLSID_VideoDiscard, &discard);
    if (SUCCEEDED(hr))
        hr = AcceptAnyVideo(discard.Get());
    if (SUCCEEDED(hr))
        hr = CreateTargetFilter(m_format.writer, &m_writer);
    if (SUCCEEDED(hr))
        hr = SetOutputFile(m_writer.Get(), outputPath);
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(m_writer.Get(), nullptr);
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(discard.Get(), nullptr);
    if (SUCCEEDED(hr))
        hr = FindPinByName(discard.Get(), "In", videoIn);
    if (SUCCEEDED(hr))
        hr = FindPinByName(m_writer.Get(), "In", audioIn);
    return hr;
}

HRESULT CAudioFileTargetHandler::CompleteGraph()
{
    if (!m_graph || !m_writer)
        return E_UNEXPECTED;  // no AddFilters since the last task
    ComPtr<IPin> writerIn;
    const HRESULT hr = FindPinByName(m_writer.Get(), "In", writerIn.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    // Without the converter the file keeps the source's rate, which still
    // plays; a writer left unlinked would wait for its stream for ever.
    const HRESULT resampled = AddResampleFilter(m_graph.Get(), writerIn.Get(), audio);
    const bool linked = IsPinConnected(writerIn.Get());
    m_writer.Reset();
    m_graph.Reset();
    return FAILED(resampled) && !linked ? resampled : S_OK;
}

QString CAudioFileTargetHandler::GetFileExtension() const
{
    return QString::fromLatin1(m_format.extension);
}

QString CAudioFileTargetHandler::GetFormatName() const
{
    return QString::fromLatin1(m_format.formatName);
}

int CAudioFileTargetHandler::GetAudioEncoderCount() const
{
    return 1;
}

void CAudioFileTargetHandler::GetAudioEncoder(int, QString& name, GUID& clsid) const
{
    name = LoadString(m_format.encoderNameId);
    clsid = GUID_NULL;
}

int CAudioFileTargetHandler::GetVideoEncoderCount() const
{
    return 0;
}

void CAudioFileTargetHandler::GetVideoEncoder(int, QString&, GUID&) const {}

CWaveTargetHandler::CWaveTargetHandler() : CAudioFileTargetHandler(kWave) {}

CLAMETargetHandler::CLAMETargetHandler() : CAudioFileTargetHandler(kLame) {}
