#include "app/close_app_dlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CCloseAppDlg::CCloseAppDlg(QWidget* parent) : CBaseDialog(parent)
{
    setWindowTitle(QStringLiteral("§APPNAME§"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Transfers are still running. Quit §APPNAME§ now?"), this));
    AddChoice(tr("No"), CLOSE_NO)->setChecked(true);
    AddChoice(tr("Yes"), CLOSE_YES);
    AddChoice(tr("No, turn off the computer when tasks completed"), CLOSE_POWER_OFF);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCloseAppDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCloseAppDlg::reject);
    layout->addWidget(buttons);
}

QRadioButton* CCloseAppDlg::AddChoice(const QString& text, int id)
{
    auto* button = new QRadioButton(text, this);
    button->setObjectName(QString::number(id));
    layout()->addWidget(button);
    return button;
}

void CCloseAppDlg::accept()
{
    for (int id : {CLOSE_NO, CLOSE_YES, CLOSE_POWER_OFF}) {
        if (findChild<QRadioButton*>(QString::number(id))->isChecked())
            m_choice = id;
    }
    CBaseDialog::accept();
}
