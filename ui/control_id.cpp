#include "ui/control_id.h"

QWidget* ControlById(const QWidget* host, int id)
{
    return host ? host->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly) : nullptr;
}
