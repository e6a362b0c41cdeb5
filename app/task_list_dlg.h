// The task list: the running task with its progress and the waiting tasks;
// aborts the running task or the selected ones. Each row of the waiting list
// keeps its task, so a selection means the same tasks however the queue
// moves after the list was drawn. In its unattended mode
// it is the whole window of a command-line transfer and closes itself once
// the queue is idle. It polls the document every 100 ms itself.
#pragma once

#include <QList>

#include "ui/base_dialog.h"

class CKestrelDoc;
class CTranscodeTask;
class QLabel;
class QListWidget;
class QProgressBar;

class CTaskListDlg final : public CBaseDialog {
    Q_OBJECT

public:
    // Control ids the dialog keeps as object names.
    enum Control : int { PendingList = 1055, AbortTasks = 1056, Abort = 1057, CurrentText = 1088, Progress = 1089 };

    CTaskListDlg(CKestrelDoc* document, bool unattended, QWidget* parent = nullptr);

    // One timer step: refresh the pending list, poll, show the state.
    void Tick();
    // Aborts the selected tasks (CKestrelDoc::AbortTasks).
    void AbortSelectedTasks();

protected:
    // Starts polling once the dialog is shown.
    void OnInitDialog() override;
    void timerEvent(QTimerEvent* event) override;

private:
    void RefreshPendingList();
    QList<const CTranscodeTask*> ShownTasks() const;
    QList<const CTranscodeTask*> SelectedTasks() const;

    QListWidget* m_pending;
    QLabel* m_current;
    QProgressBar* m_progress;
    CKestrelDoc* m_document;
    bool m_unattended;
    QString m_status;
    float m_fraction = 0;
};
