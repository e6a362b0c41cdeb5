#include "medialist/mlc_edit.h"

#include <QKeyEvent>
#include <QPainter>

CMLCEdit::CMLCEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setObjectName(QStringLiteral("100"));
}

void CMLCEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit Return();
        return;
    case Qt::Key_Escape:
        emit Escape();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void CMLCEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    emit Return();
}

// A thin frame, as the edit lies over a row of the list.
void CMLCEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
