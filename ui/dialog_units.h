// Dialog templates give places and sizes in dialog units: a quarter of the
// dialog font's average character width across, an eighth of its height down.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

QRect DialogUnitsToPixels(const QFont& dialogFont, const QRect& units);

// Gives a control its id and places it at `units` (dialog units of its
// parent's font), as a dialog template would.
template <class Control>
Control* PlaceControl(Control* control, int id, const QRect& units)
{
    control->setObjectName(QString::number(id));
    control->setGeometry(DialogUnitsToPixels(control->parentWidget()->font(), units));
    return control;
}
