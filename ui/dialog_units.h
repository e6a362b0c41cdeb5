// Dialog templates give places and sizes in dialog units: a quarter of the
// dialog font's average character width across, an eighth of its height down.
#pragma once

#include <QFont>
#include <QRect>

QRect DialogUnitsToPixels(const QFont& dialogFont, const QRect& units);
