#include "ui/erase_handler.h"

#include <QPainter>
#include <QWidget>

void EraseWithHandler(CEraseHandler& handler, QWidget& widget, QPainter& painter)
{
    const QWidget* eraseWindow = handler.GetEraseWnd();
    // Where the widget's origin lies in the erase window's client area.
    const QPoint origin =
        eraseWindow ? widget.mapToGlobal(QPoint(0, 0)) - eraseWindow->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    painter.save();
    painter.setClipRect(widget.rect(), Qt::IntersectClip);
    painter.translate(-origin);
    handler.EraseBackground(painter);
    painter.restore();
}
