#include "app/task_list_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

#include "app/kestrel_doc.h"
#include "pipeline/transcode_task.h"

namespace {
constexpr int kPollTimer = 100;  // ms

template <class Widget>
Widget* Named(Widget* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}

// A row of the waiting list with the task it shows.
class TaskRow final : public QListWidgetItem {
public:
    TaskRow(CTranscodeTask* task, QListWidget* list)
        : QListWidgetItem(task->GetDescription(), list, QListWidgetItem::UserType), m_task(task)
    {
    }
    static const CTranscodeTask* TaskOf(const QListWidgetItem* row) { return static_cast<const TaskRow*>(row)->m_task; }

private:
    const CTranscodeTask* m_task;
};
}  // namespace

CTaskListDlg::CTaskListDlg(CKestrelDoc* document, bool unattended, QWidget* parent)
    : CBaseDialog(parent),
      m_pending(Named(new QListWidget(this), PendingList)),
      m_current(Named(new QLabel(this), CurrentText)),
      m_progress(Named(new QProgressBar(this), Progress)),
      m_document(document),
      m_unattended(unattended)
{
    setWindowTitle(tr("Task List"));
    m_pending->setSelectionMode(QAbstractItemView::MultiSelection);
    m_progress->setRange(0, 100);
    auto* abort = Named(new QPushButton(tr("Abort"), this), Abort);
    auto* abortTasks = Named(new QPushButton(tr("Abort task(s)"), this), AbortTasks);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(abort, &QPushButton::clicked, this, [this] { m_document->AbortCurrentTask(); });
    connect(abortTasks, &QPushButton::clicked, this, &CTaskListDlg::AbortSelectedTasks);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_current);
    layout->addWidget(m_progress);
    layout->addWidget(abort, 0, Qt::AlignRight);
    layout->addWidget(m_pending);
    layout->addWidget(abortTasks, 0, Qt::AlignRight);
    layout->addWidget(buttons);
    resize(420, 320);
}

void CTaskListDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();
    startTimer(kPollTimer);
}

void CTaskListDlg::timerEvent(QTimerEvent*)
{
    Tick();
}

QList<const CTranscodeTask*> CTaskListDlg::ShownTasks() const
{
    QList<const CTranscodeTask*> tasks;
    for (int row = 0; row < m_pending->count(); ++row)
        tasks << TaskRow::TaskOf(m_pending->item(row));
    return tasks;
}

QList<const CTranscodeTask*> CTaskListDlg::SelectedTasks() const
{
    QList<const CTranscodeTask*> tasks;
    for (const QListWidgetItem* row : m_pending->selectedItems())
        tasks << TaskRow::TaskOf(row);
    return tasks;
}

// Redrawn only when the queue changed; the selected tasks stay selected.
void CTaskListDlg::RefreshPendingList()
{
    const TaskList& queue = m_document->Queue();
    QList<const CTranscodeTask*> waiting;
    for (const std::unique_ptr<CTranscodeTask>& task : queue)
        waiting << task.get();
    if (waiting == ShownTasks())
        return;
    const QList<const CTranscodeTask*> selected = SelectedTasks();
    m_pending->clear();
    for (const std::unique_ptr<CTranscodeTask>& task : queue)
        (new TaskRow(task.get(), m_pending))->setSelected(selected.contains(task.get()));
}

void CTaskListDlg::Tick()
{
    RefreshPendingList();
    bool idle = false;
    m_document->Poll(m_status, m_fraction, idle);
    if (idle) {
        if (m_unattended) {
            accept();
            return;
        }
        m_progress->setValue(0);
        m_current->clear();
        return;
    }
    m_progress->setValue(int(m_fraction * 100));
    CTranscodeTask* task = m_document->CurrentTask();
    m_current->setText(task ? task->GetDescription() : QString());
}

void CTaskListDlg::AbortSelectedTasks()
{
    m_document->AbortTasks(SelectedTasks());
    RefreshPendingList();
}
