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
      pending_(Named(new QListWidget(this), PendingList)),
      current_(Named(new QLabel(this), CurrentText)),
      progress_(Named(new QProgressBar(this), Progress)),
      document_(document),
      unattended_(unattended)
{
    setWindowTitle(tr("Task List"));
    pending_->setSelectionMode(QAbstractItemView::MultiSelection);
    progress_->setRange(0, 100);
    auto* abort = Named(new QPushButton(tr("Abort"), this), Abort);
    auto* abortTasks = Named(new QPushButton(tr("Abort task(s)"), this), AbortTasks);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(abort, &QPushButton::clicked, this, [this] { document_->AbortCurrentTask(); });
    connect(abortTasks, &QPushButton::clicked, this, &CTaskListDlg::AbortSelectedTasks);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(current_);
    layout->addWidget(progress_);
    layout->addWidget(abort, 0, Qt::AlignRight);
    layout->addWidget(pending_);
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
    const QList<CTranscodeTask*>& queue = document_->Queue();
    if (queue.size() == shownCount_)
        return;
    shownCount_ = queue.size();
    pending_->clear();
    for (CTranscodeTask* task : queue)
        pending_->addItem(task->GetDescription());
}

void CTaskListDlg::Tick()
{
    RefreshPendingList();
    bool idle = false;
    document_->Poll(status_, fraction_, idle);
    if (idle) {
        if (unattended_) {
            accept();
            return;
        }
        progress_->setValue(0);
        current_->clear();
        return;
    }
    progress_->setValue(int(fraction_ * 100));
    CTranscodeTask* task = document_->CurrentTask();
    current_->setText(task ? task->GetDescription() : QString());
}

void CTaskListDlg::AbortSelectedTasks()
{
    QList<CTranscodeTask*>& queue = document_->Queue();
    for (int row = int(qMin(queue.size(), qsizetype(pending_->count()))) - 1; row >= 0; --row) {
        if (pending_->item(row)->isSelected())
            delete queue.takeAt(row);
    }
}
