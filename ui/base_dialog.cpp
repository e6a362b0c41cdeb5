#include "ui/base_dialog.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include "res/string_table.h"

namespace {

template <class Control, class Getter, class Setter>
void ReplaceIn(QWidget& window, Getter get, Setter set)
{
    for (Control* control : window.findChildren<Control*>())
        (control->*set)(ReplaceAppName((control->*get)()));
}

}  // namespace

void ReplaceAppNameInWindow(QWidget& window)
{
    window.setWindowTitle(ReplaceAppName(window.windowTitle()));
    ReplaceIn<QLabel>(window, &QLabel::text, &QLabel::setText);
    ReplaceIn<QAbstractButton>(window, &QAbstractButton::text, &QAbstractButton::setText);
    ReplaceIn<QGroupBox>(window, &QGroupBox::title, &QGroupBox::setTitle);
}

CBaseDialog::CBaseDialog(QWidget* parent) : QDialog(parent) {}

void CBaseDialog::OnInitDialog()
{
    ReplaceAppNameInWindow(*this);
}

void CBaseDialog::showEvent(QShowEvent* event)
{
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}
