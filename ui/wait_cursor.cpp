#include "ui/wait_cursor.h"

#include <QApplication>

#include "ui/messages.h"

CWaitCursor::CWaitCursor() : m_shown(HasDisplay())
{
    if (m_shown)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor()
{
    if (m_shown)
        QApplication::restoreOverrideCursor();
}
