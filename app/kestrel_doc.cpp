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

CKestrelDoc::CKestrelDoc()
{
    devices_ << new CComputerSrcDev(this) << new CVideoDVDSrcDev(this) << new CYouTubeSrcDev(this)
             << new CSlideShowSrcDev(this) << new CAudioCDSrcDev(this) << new CComputerTgtDev(this)
             << new CNetbookTgtDev(this);
}

CKestrelDoc::~CKestrelDoc()
{
    while (!devices_.isEmpty())
        delete devices_.takeFirst();
    if (current_) {
        current_->Abort();
        delete current_;
        current_ = nullptr;
    }
    qDeleteAll(queue_);
    queue_.clear();
    ThePowerControl().KeepAwake(false);
}

CBaseDevice* CKestrelDoc::FindDeviceByGuid(const GUID& id) const
{
    for (CBaseDevice* device : devices_) {
        if (device->Identifier() == id)
            return device;
    }
    return nullptr;
}

CBaseDevice* CKestrelDoc::FindDevice(const QString& name, int direction) const
{
    for (CBaseDevice* device : devices_) {
        if (device->GetName() == name && device->Direction() == direction)
            return device;
    }
    return nullptr;
}

void CKestrelDoc::QueueTasks(CSourceDevice* source, const QStringList* items, CTargetDevice* target)
{
    QList<CTranscodeTask*> created;
    source->CreateTasks(created, target, items);
    queue_ << created;
}

CTranscodeTask* CKestrelDoc::TakeNextTask()
{
    return queue_.isEmpty() ? nullptr : queue_.takeFirst();
}

// The result is not looked at here: a task that failed to start has no
// graph, so the next poll finds it ended.
void CKestrelDoc::StartNext()
{
    current_ = TakeNextTask();
    if (current_)
        current_->Start();
}

void CKestrelDoc::FinishCurrent()
{
    CTranscodeTask* task = current_;
    current_ = nullptr;
    Broadcast(EVENT_TASK_FINISHED, task);
    (task->Succeeded() ? tally_.transferred : tally_.failed)++;
    delete task;
}

void CKestrelDoc::KeepMachineAwake()
{
    ThePowerControl().KeepAwake(current_ != nullptr);
}

void CKestrelDoc::Poll(QString& status, float& progress, bool& idle)
{
    if (polling_)
        return;
    polling_ = true;
    if (!current_) {
        if (queue_.isEmpty()) {
            idle = true;
            status.clear();
            progress = 0;
            KeepMachineAwake();
            polling_ = false;
            return;
        }
        current_ = TakeNextTask();
        if (!current_->Start()) {
            delete current_;
            current_ = nullptr;
            tally_.failed++;
            polling_ = false;
            return;
        }
    }
    idle = false;
    status = FormatString(IDS_TRANSFERS_LEFT, {QString::number(queue_.size() + 1), current_->GetDescription()});
    progress = current_->GetProgress();
    if (!current_->Poll()) {
        FinishCurrent();
        if (!queue_.isEmpty())
            StartNext();
        else if (powerOffArmed_)
            ShutdownComputer();
    }
    KeepMachineAwake();
    polling_ = false;
}

void CKestrelDoc::AbortCurrentTask()
{
    if (!current_)
        return;
    current_->Abort();
    delete current_;
    current_ = nullptr;
    tally_.failed++;
    Broadcast(EVENT_TASK_ABORTED, nullptr);
    StartNext();
    KeepMachineAwake();
}

void CKestrelDoc::Broadcast(int code, void* param)
{
    for (CBaseDevice* device : devices_) {
        device->OnBroadcast(code, param);
        if (device->Page() && device->Page()->HasWindow())
            device->Page()->OnBroadcast(code, param);
    }
    for (CDocumentView* view : views_)
        view->OnBroadcast(code, param);
    OnBroadcast(code, param);
}

void CKestrelDoc::OnBroadcast(int, void*) {}

bool CKestrelDoc::TransferFromCommandLine(const QString& targetName, const QStringList& files)
{
    auto* source = static_cast<CSourceDevice*>(FindDeviceByGuid(GUID_ComputerSrcDev));
    auto* target = static_cast<CTargetDevice*>(FindDevice(targetName, DIRECTION_TARGET));
    if (!source || !target)
        return false;
    QueueTasks(source, &files, target);
    if (runUnattendedTaskList)
        runUnattendedTaskList();
    return true;
}

void CKestrelDoc::ShutdownComputer()
{
    ThePowerControl().PowerOff();
}

bool CKestrelDoc::SaveModified()
{
    if (!current_ && queue_.isEmpty())
        return true;
    switch (runCloseDialog ? runCloseDialog() : CLOSE_NO) {
    case CLOSE_YES:
        return true;
    case CLOSE_POWER_OFF:
        PowerOffWhenFinished();
        return true;
    default:
        return false;
    }
}

void CKestrelDoc::PowerOffWhenFinished()
{
    powerOffArmed_ = true;
    if (runPowerOffWaitDialog)
        runPowerOffWaitDialog();
    powerOffArmed_ = false;
}
