#include "ui/wait_cursor.h"

#include <QApplication>

#include "ui/messages.h"

CWaitCursor::CWaitCursor() : shown_(HasDisplay())
{
    if (shown_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor()
{
    if (shown_)
        QApplication::restoreOverrideCursor();
}
