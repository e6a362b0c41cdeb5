#include "ui/error_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

#include "res/string_table.h"
#include "ui/control_id.h"
#include "ui/dialog_units.h"

namespace {

// The window's template, in dialog units.
const QRect kWindow(0, 0, 316, 119);
const QRect kOkButton(122, 96, 71, 16);
const QRect kIcon(14, 13, 20, 20);
const QRect kText(50, 7, 259, 88);

QWidget* OwnerFor(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

}  // namespace

CErrorDialog::CErrorDialog(const QString& message, QWidget* parent)
    : QDialog(OwnerFor(parent)),
      m_message(message),
      m_text(SetControlId(new QTextEdit(this), TextControl)),
      m_icon(SetControlId(new QLabel(this), IconControl))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(AppName());

    const QFont dialogFont = font();
    setFixedSize(DialogUnitsToPixels(dialogFont, kWindow).size());
    const QRect iconPlace = DialogUnitsToPixels(dialogFont, kIcon);
    m_icon->setGeometry(iconPlace);
    m_icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(iconSize));

    m_text->setGeometry(DialogUnitsToPixels(dialogFont, kText));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QTextEdit::WidgetWidth);
    m_text->setPlainText(message);
    QPalette face = m_text->palette();
    face.setColor(QPalette::Base, palette().color(QPalette::Button));
    m_text->setPalette(face);

    auto* ok = SetControlId(new QPushButton(tr("OK"), this), OkButton);
    ok->setGeometry(DialogUnitsToPixels(dialogFont, kOkButton));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    CenterOnOwner();
    show();
}

void CErrorDialog::CenterOnOwner()
{
    const QWidget* owner = parentWidget();
    QRect area = owner ? owner->frameGeometry() : QRect();
    if (area.isEmpty() && screen())
        area = screen()->availableGeometry();
    QRect placed = frameGeometry();
    placed.moveCenter(area.center());
    move(placed.topLeft());
}
