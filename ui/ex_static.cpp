#include "ui/ex_static.h"

#include <QPainter>

#include "ui/erase_handler.h"

CExStatic::CExStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void CExStatic::SetEraseHandler(CEraseHandler* handler)
{
    m_pEraseHandler = handler;
    update();
}

void CExStatic::paintEvent(QPaintEvent* event)
{
    if (m_pEraseHandler) {
        QPainter painter(this);
        EraseWithHandler(*m_pEraseHandler, *this, painter);
    }
    QLabel::paintEvent(event);
}
