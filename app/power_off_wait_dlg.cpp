#include "app/power_off_wait_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CPowerOffWaitDlg::CPowerOffWaitDlg(QWidget* parent) : CBaseDialog(parent)
{
    setWindowTitle(tr("Waiting"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Waiting for all tasks to complete before shutting computer down..."), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPowerOffWaitDlg::reject);
    layout->addWidget(buttons);
}
