#include "pipeline/device.h"
#include "pipeline/media_kind.h"
#include "pipeline/source_graph.h"
#include "pipeline/transcode_task.h"
#include "res/string_table.h"
#include "ui/device_page.h"
#include "ui/messages.h"

CSourceDevice::CSourceDevice(CKestrelDoc* document) : CBaseDevice(document)
{
    m_direction = DIRECTION_SOURCE;
}

HRESULT CSourceDevice::BuildAudioGraph(CTargetDevice*, CGraphContext* context)
{
    return BuildDefaultAudioGraph(context);
}

HRESULT CSourceDevice::BuildVideoGraph(CTargetDevice*, CGraphContext* context)
{
    return BuildDefaultVideoGraph(context);
}

HRESULT CSourceDevice::FinishGraph(CTargetDevice*, CGraphContext*)
{
    return S_OK;
}

double CSourceDevice::GetTotalDuration()
{
    return 0;
}

namespace {

// The file name without its folder and without its last extension.
QString TaskName(const QString& path)
{
    const QString fileName = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

}  // namespace

bool CSourceDevice::CreateTasks(TaskList& tasks, CTargetDevice* target, const QStringList* items)
{
    QStringList video, audio;
    GetSupportedExtensions(video, audio);
    if (!target->AcceptsSource(this))
        return false;
    QStringList paths;
    if (items) {
        paths = *items;
    } else if (CDevicePage* page = Page()) {
        page->GetMarkedItems(paths);
        page->ClearMarks();
    }
    for (const QString& path : paths) {
        const MediaKind kind = GetFileKind(path, video, audio);
        if (kind == MK_NONE) {
            ShowMessage(FormatString(IDS_FORMAT_NOT_SUPPORTED, {path}), MessageIcon::Error);
            continue;
        }
        tasks.push_back(std::make_unique<CTranscodeTask>(this, target, TaskName(path), path, kind == MK_AUDIO));
    }
    return true;
}
