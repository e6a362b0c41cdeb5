// The look shared by every bitmap the program draws: one calm palette (slate,
// a soft teal-blue accent, paper whites and a warm sand for folders) and the
// few shapes that the pictures are built from.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace art {

inline const QColor kInk{0x2B, 0x38, 0x45};
inline const QColor kSlate{0x4A, 0x62, 0x77};
inline const QColor kSlateDeep{0x33, 0x47, 0x5A};
inline const QColor kMist{0xC9, 0xD6, 0xE1};
inline const QColor kSoft{0xE6, 0xEC, 0xF2};
inline const QColor kPaper{0xF8, 0xFA, 0xFC};
inline const QColor kAccent{0x36, 0x86, 0xAE};
inline const QColor kAccentLight{0x8F, 0xC4, 0xDE};
inline const QColor kAccentPale{0xD4, 0xE8, 0xF3};
inline const QColor kSand{0xE4, 0xB9, 0x62};
inline const QColor kSandDeep{0xC2, 0x92, 0x3C};
inline const QColor kCoral{0xC8, 0x5A, 0x48};

// `colour` with the given opacity (0-255).
QColor Faded(const QColor& colour, int alpha);

QPainterPath Rounded(const QRectF& rect, qreal radius);

// Fills `path` with a top-to-bottom gradient over its bounds and strokes it
// with a hairline of `outline` (no stroke when the outline is transparent).
void FillShape(QPainter& painter, const QPainterPath& path, const QColor& top, const QColor& bottom,
               const QColor& outline, qreal outlineWidth = 1.0);

// A soft shadow under `path`: rings of falling opacity, `spread` pixels wide,
// moved down by `drop` pixels.
void SoftShadow(QPainter& painter, const QPainterPath& path, qreal spread, qreal drop, int alpha);

// A right-pointing triangle centred in `box`.
QPainterPath PlayTriangle(const QRectF& box);

// An optical disc with its hole, centred at `centre`.
void DrawDisc(QPainter& painter, const QPointF& centre, qreal radius);

// A beamed pair of eighth notes inside `box`.
void DrawNotes(QPainter& painter, const QRectF& box, const QColor& colour);

// A closed folder filling `box`.
void DrawFolder(QPainter& painter, const QRectF& box);

// A round-capped stroke through the points of `path` (arrows, check marks).
void StrokeLine(QPainter& painter, const QPainterPath& path, const QColor& colour, qreal width);

}  // namespace art
