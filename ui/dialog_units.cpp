#include "ui/dialog_units.h"

#include <QFontMetrics>

QRect DialogUnitsToPixels(const QFont& dialogFont, const QRect& units)
{
    const QFontMetrics metrics(dialogFont);
    // The average width over the 52 Latin letters, as the window system measures it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    const int baseY = metrics.height();
    const auto across = [baseX](int value) { return value * baseX / 4; };
    const auto down = [baseY](int value) { return value * baseY / 8; };
    return {across(units.x()), down(units.y()), across(units.width()), down(units.height())};
}
