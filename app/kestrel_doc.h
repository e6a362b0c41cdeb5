// The document: owns the seven devices and the transfer queue, and runs the
// queue one task at a time. It has no thread of its own: the queue moves
// only when somebody calls Poll (the main view and the task list do, every
// 100 ms). User-interface thread only; Poll may be entered again from a
// message loop inside it, and then returns at once.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "pipeline/device.h"
#include "ui/document_events.h"

// Control ids of the close dialog's three choices.
enum CloseChoice : int { CLOSE_YES = 1115, CLOSE_NO = 1116, CLOSE_POWER_OFF = 1117 };

// Whatever receives the document's broadcasts besides devices and pages.
class CDocumentView {
public:
    virtual ~CDocumentView() = default;
    virtual void OnBroadcast(int code, void* param) = 0;
};

// How the items of this run went; the command line's exit status.
struct TransferTally {
    int transferred = 0;  // ended with their output written
    int failed = 0;       // failed to start, stopped by an error or aborted
};

class CKestrelDoc {
public:
    CKestrelDoc();
    virtual ~CKestrelDoc();
    CKestrelDoc(const CKestrelDoc&) = delete;
    CKestrelDoc& operator=(const CKestrelDoc&) = delete;

    // In the fixed order of the tabs.
    QList<CBaseDevice*> Devices() const;
    CBaseDevice* FindDeviceByGuid(const GUID& id) const;
    CBaseDevice* FindDevice(const QString& name, int direction) const;

    // False when the target refuses the source.
    bool QueueTasks(CSourceDevice* source, const QStringList* items, CTargetDevice* target);
    // Advances the queue by at most one step and reports its state. A nested
    // call leaves the outputs as they were.
    void Poll(QString& status, float& progress, bool& idle);
    void AbortCurrentTask();
    void Broadcast(int code, void* param);
    virtual void OnBroadcast(int code, void* param);

    // Queues the files from the computer source to the target; the caller
    // then runs the queue. False (nothing queued) when the target refuses.
    bool TransferFromCommandLine(CTargetDevice* target, const QStringList& files);
    // False when the power-off was refused or could not be asked for.
    bool ShutdownComputer();

    // Whether the main window may close now; asks when tasks are active.
    // Waiting to turn the computer off lets it close only once the computer
    // is going off: a cancelled wait keeps the window and the transfers.
    bool SaveModified();
    // Arms the power-off for as long as the waiting dialog is open; true
    // when the last task ended meanwhile and the computer is going off,
    // false when the wait was cancelled (the transfers go on) or the
    // power-off refused. The dialog may close once the power-off is no
    // longer armed: the computer was asked.
    bool PowerOffWhenFinished();

    // The waiting tasks, the next one first.
    const TaskList& Queue() const { return m_queue; }
    // The task list's "Abort task(s)": those of the tasks still waiting
    // leave the queue, the running one among them is aborted, and those that
    // have ended meanwhile are skipped.
    void AbortTasks(const QList<const CTranscodeTask*>& tasks);
    // Drops the queue and aborts the running task (its partial file goes):
    // the program is asked to stop.
    void StopAll();
    CTranscodeTask* CurrentTask() const { return m_current.get(); }
    bool PowerOffArmed() const { return m_powerOffArmed; }
    TransferTally Tally() const { return m_tally; }

    void AddView(CDocumentView* view) { m_views.append(view); }
    void RemoveView(CDocumentView* view) { m_views.removeAll(view); }

    // The dialogs the document opens, replaceable so that the logic runs
    // without them: the close dialog returns its CloseChoice; the other
    // runs until closed.
    std::function<int()> runCloseDialog;
    std::function<void()> runPowerOffWaitDialog;
    // Told once when the queue falls idle after a run, with that run's
    // tally; not when the program stops the queue or the computer goes off.
    std::function<void(const TransferTally& run)> onQueueEnded;

private:
    std::unique_ptr<CTranscodeTask> TakeNextTask();
    void StartNext();
    void FinishCurrent();
    void KeepMachineAwake();
    void EndRun();
    void PowerOffNow();

    std::vector<std::unique_ptr<CBaseDevice>> m_devices;
    bool m_powerOffArmed = false;
    bool m_poweringOff = false;  // the armed power-off was granted
    bool m_polling = false;
    TaskList m_queue;
    std::unique_ptr<CTranscodeTask> m_current;
    QList<CDocumentView*> m_views;
    TransferTally m_tally;
    std::optional<TransferTally> m_runStart;  // the tally when the queue left idle
};
