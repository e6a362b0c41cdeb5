#include "app/kestrel_doc.h"

#include "pipeline/device.h"
#include "pipeline/transcode_task.h"
#include "platform/power/power_control.h"
#include "res/string_table.h"
#include "sources/cd/audio_cd_src_dev.h"
#include "sources/computer/computer_src_dev.h"
#include "sources/dvd/video_dvd_src_dev.h"
#include "sources/slideshow/slide_show_src_dev.h"
#include "sources/youtube/youtube_src_dev.h"
#include "targets/computer_tgt_dev.h"
#include "targets/netbook_tgt_dev.h"
#include "ui/device_page.h"
#include "ui/messages.h"

namespace {

constexpr int IDS_POWER_OFF_REFUSED = 10130;

}  // namespace

CKestrelDoc::CKestrelDoc()
{
    m_devices.push_back(std::make_unique<CComputerSrcDev>(this));
    m_devices.push_back(std::make_unique<CVideoDVDSrcDev>(this));
    m_devices.push_back(std::make_unique<CYouTubeSrcDev>(this));
    m_devices.push_back(std::make_unique<CSlideShowSrcDev>(this));
    m_devices.push_back(std::make_unique<CAudioCDSrcDev>(this));
    m_devices.push_back(std::make_unique<CComputerTgtDev>(this));
    m_devices.push_back(std::make_unique<CNetbookTgtDev>(this));
}

// Tasks refer to the devices: they go first.
CKestrelDoc::~CKestrelDoc()
{
    if (m_current)
        m_current->Abort();
    m_current.reset();
    m_queue.clear();
    m_devices.clear();
    ThePowerControl().KeepAwake(false);
}

QList<CBaseDevice*> CKestrelDoc::Devices() const
{
    QList<CBaseDevice*> devices;
    for (const std::unique_ptr<CBaseDevice>& device : m_devices)
        devices.append(device.get());
    return devices;
}

CBaseDevice* CKestrelDoc::FindDeviceByGuid(const GUID& id) const
{
    for (const std::unique_ptr<CBaseDevice>& device : m_devices) {
        if (device->Identifier() == id)
            return device.get();
    }
    return nullptr;
}

CBaseDevice* CKestrelDoc::FindDevice(const QString& name, int direction) const
{
    for (const std::unique_ptr<CBaseDevice>& device : m_devices) {
        if (device->GetName() == name && device->Direction() == direction)
            return device.get();
    }
    return nullptr;
}

bool CKestrelDoc::QueueTasks(CSourceDevice* source, const QStringList* items, CTargetDevice* target)
{
    TaskList created;
    const bool accepted = source->CreateTasks(created, target, items);
    for (std::unique_ptr<CTranscodeTask>& task : created)
        m_queue.push_back(std::move(task));
    return accepted;
}

// The waiting ones go first, so aborting the running one starts none of them.
void CKestrelDoc::AbortTasks(const QList<const CTranscodeTask*>& tasks)
{
    std::erase_if(m_queue,
                  [&tasks](const std::unique_ptr<CTranscodeTask>& task) { return tasks.contains(task.get()); });
    if (m_current && tasks.contains(m_current.get()))
        AbortCurrentTask();
}

void CKestrelDoc::StopAll()
{
    m_queue.clear();
    AbortCurrentTask();
    m_runStart.reset();
}

std::unique_ptr<CTranscodeTask> CKestrelDoc::TakeNextTask()
{
    if (m_queue.empty())
        return nullptr;
    std::unique_ptr<CTranscodeTask> next = std::move(m_queue.front());
    m_queue.erase(m_queue.begin());
    return next;
}

// The result is not looked at here: a task that failed to start has no
// graph, so the next poll finds it ended.
void CKestrelDoc::StartNext()
{
    m_current = TakeNextTask();
    if (m_current)
        m_current->Start();
}

void CKestrelDoc::FinishCurrent()
{
    const std::unique_ptr<CTranscodeTask> task = std::move(m_current);
    Broadcast(EVENT_TASK_FINISHED, task.get());
    (task->Succeeded() ? m_tally.transferred : m_tally.failed)++;
}

void CKestrelDoc::KeepMachineAwake()
{
    ThePowerControl().KeepAwake(m_current != nullptr);
}

// However the last task ended (finished, failed to start, aborted), the run
// is over at the first poll that finds the queue idle.
void CKestrelDoc::EndRun()
{
    if (!m_runStart)
        return;
    const TransferTally run{m_tally.transferred - m_runStart->transferred, m_tally.failed - m_runStart->failed};
    m_runStart.reset();
    if (onQueueEnded && !m_poweringOff)
        onQueueEnded(run);
}

void CKestrelDoc::Poll(QString& status, float& progress, bool& idle)
{
    if (m_polling)
        return;
    m_polling = true;
    if (!m_current) {
        if (m_queue.empty()) {
            idle = true;
            status.clear();
            progress = 0;
            KeepMachineAwake();
            // The last task may have ended before the wait began.
            if (m_powerOffArmed)
                PowerOffNow();
            EndRun();
            m_polling = false;
            return;
        }
        if (!m_runStart)
            m_runStart = m_tally;
        m_current = TakeNextTask();
        if (!m_current->Start()) {
            Broadcast(EVENT_TASK_NOT_STARTED, m_current.get());
            m_current.reset();
            m_tally.failed++;
            m_polling = false;
            return;
        }
    }
    idle = false;
    status = FormatString(IDS_TRANSFERS_LEFT, {QString::number(m_queue.size() + 1), m_current->GetDescription()});
    progress = m_current->GetProgress();
    if (!m_current->Poll()) {
        FinishCurrent();
        if (!m_queue.empty())
            StartNext();
        else if (m_powerOffArmed)
            PowerOffNow();
    }
    KeepMachineAwake();
    m_polling = false;
}

void CKestrelDoc::AbortCurrentTask()
{
    if (!m_current)
        return;
    m_current->Abort();
    m_current.reset();
    m_tally.failed++;
    Broadcast(EVENT_TASK_ABORTED, nullptr);
    StartNext();
    KeepMachineAwake();
}

void CKestrelDoc::Broadcast(int code, void* param)
{
    for (const std::unique_ptr<CBaseDevice>& device : m_devices) {
        device->OnBroadcast(code, param);
        if (CDevicePage* page = device->Page())
            page->OnBroadcast(code, param);
    }
    for (CDocumentView* view : m_views)
        view->OnBroadcast(code, param);
    OnBroadcast(code, param);
}

void CKestrelDoc::OnBroadcast(int, void*) {}

bool CKestrelDoc::TransferFromCommandLine(CTargetDevice* target, const QStringList& files)
{
    auto* source = static_cast<CSourceDevice*>(FindDeviceByGuid(GUID_ComputerSrcDev));
    return source && target && QueueTasks(source, &files, target);
}

bool CKestrelDoc::ShutdownComputer()
{
    return ThePowerControl().PowerOff();
}

// Ends the armed wait either way; a refusal is said, as the user left the
// computer expecting it to go off.
void CKestrelDoc::PowerOffNow()
{
    m_powerOffArmed = false;
    m_poweringOff = ShutdownComputer();
    if (!m_poweringOff)
        ShowMessage(LoadString(IDS_POWER_OFF_REFUSED), MessageIcon::Warning);
}

bool CKestrelDoc::SaveModified()
{
    if (!m_current && m_queue.empty())
        return true;
    switch (runCloseDialog ? runCloseDialog() : CLOSE_NO) {
    case CLOSE_YES:
        return true;
    case CLOSE_POWER_OFF:
        return PowerOffWhenFinished();
    default:
        return false;
    }
}

bool CKestrelDoc::PowerOffWhenFinished()
{
    m_powerOffArmed = true;
    m_poweringOff = false;
    if (runPowerOffWaitDialog)
        runPowerOffWaitDialog();
    m_powerOffArmed = false;
    return m_poweringOff;
}
