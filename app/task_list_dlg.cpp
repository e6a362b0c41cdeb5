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

void CTaskListDlg::RefreshPendingList()
{
    const TaskList& queue = m_document->Queue();
    if (qsizetype(queue.size()) == m_shownCount)
        return;
    m_shownCount = qsizetype(queue.size());
    m_pending->clear();
    for (const std::unique_ptr<CTranscodeTask>& task : queue)
        m_pending->addItem(task->GetDescription());
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
    const int rows = qMin(int(m_document->Queue().size()), m_pending->count());
    for (int row = rows - 1; row >= 0; --row) {
        if (m_pending->item(row)->isSelected())
            m_document->RemoveQueuedTask(row);
    }
}
