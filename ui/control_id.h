// Dialog control ids: a control keeps its numeric id as its object name,
// so code and tests find it by the number its dialog gives it.
#pragma once

#include <QWidget>

template <class Widget>
Widget* SetControlId(Widget* control, int id)
{
    control->setObjectName(QString::number(id));
    return control;
}

// The direct child of `host` with that id, or null.
QWidget* ControlById(const QWidget* host, int id);
