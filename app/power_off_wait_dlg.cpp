#include "app/power_off_wait_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

CPowerOffWaitDlg::CPowerOffWaitDlg(QWidget* parent, std::function<bool()> waitIsOver) : CBaseDialog(parent)
{
    if (waitIsOver) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, waitIsOver = std::move(waitIsOver)] {
            if (waitIsOver())
                accept();
        });
        timer->start(200);
    }
    setWindowTitle(tr("Waiting"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Waiting for all tasks to complete before shutting computer down..."), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPowerOffWaitDlg::reject);
    layout->addWidget(buttons);
}
