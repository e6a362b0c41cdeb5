#include "sources/dvd/video_dvd_src_dev.h"

#include <QDir>
#include <QFileInfo>

#include "pipeline/graph_context.h"
#include "pipeline/transcode_task.h"
#include "res/string_table.h"
#include "sources/dvd/dvd_graph.h"

CVideoDVDSrcDev::CVideoDVDSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_VIDEO_DVD, GUID_VideoDVDSrcDev, 353);
}

int CVideoDVDSrcDev::AddDrive(const QString& path)
{
    const QString entry = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const qsizetype known = m_driveEntries.indexOf(entry);
    if (known >= 0) return int(known);
    m_driveEntries << entry;
    return int(m_driveEntries.size() - 1);
}

bool CVideoDVDSrcDev::ReadDiscStructure()
{
    if (m_selectedDrive < 0 || m_selectedDrive >= m_driveEntries.size()) return false;
    return ::ReadDiscStructure(m_driveEntries[m_selectedDrive], &m_structure);
}

CTitleInfo* CVideoDVDSrcDev::Title(int index)
{
    return index >= 0 && index < TitleCount() ? m_structure.titles[size_t(index)].get() : nullptr;
}

QString CVideoDVDSrcDev::VolumeLabel() const
{
    return QFileInfo(m_structure.videoTsPath).dir().dirName();
}

HRESULT CVideoDVDSrcDev::BuildVideoGraph(CTargetDevice*, CGraphContext* context)
{
    const CTitleInfo title(context->GetSourcePath());
    IGraphBuilder* graph = context->Graph();
    IPin* videoIn = context->VideoInputPin();
    IPin* audioIn = context->AudioInputPin();
    if (!graph || !videoIn || !audioIn) return E_FAIL;
    ComPtr<IPin> videoOut, audioOut;
    HRESULT hr = BuildDvdGraph(graph, title, videoOut.ReleaseAndGetAddressOf(), audioOut.ReleaseAndGetAddressOf(),
                               context);
    if (FAILED(hr)) return hr;
    hr = graph->Connect(audioOut.Get(), audioIn);
    if (FAILED(hr)) return hr;
    return graph->Connect(videoOut.Get(), videoIn);
}

HRESULT CVideoDVDSrcDev::FinishGraph(CTargetDevice*, CGraphContext* context)
{
    if (!context->Graph()) return E_FAIL;
    return ApplyTrim(context->Graph(), CTitleInfo(context->GetSourcePath()));
}

double CVideoDVDSrcDev::GetTotalDuration()
{
    double seconds = 0;
    for (const auto& title : m_structure.titles)
        seconds += title->m_duration;
    return seconds;
}

bool CVideoDVDSrcDev::CreateTasks(TaskList& tasks, CTargetDevice* target, const QStringList* items)
{
    if (!items) return true;
    const QString label = VolumeLabel();
    for (const QString& item : *items) {
        bool number = false;
        const int index = item.toInt(&number) - 1;
        const CTitleInfo* title = number ? Title(index) : nullptr;
        if (!title) continue;
        const QString name = FormatString(242, {label, QString::number(index + 1)});
        tasks.push_back(std::make_unique<CTranscodeTask>(this, target, name, title->GetSourceString(), false));
    }
    return true;
}
