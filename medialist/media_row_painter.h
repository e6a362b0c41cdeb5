// How a media list row looks: a selection background or white, the text
// (the name in bold, then labelled details in two columns, or word-wrapped
// lines when the text has no tab), the thumbnail, the mark and a dotted
// separator. The list hands it the row's rectangle and cells.
#pragma once

#include <QFont>
#include <QRect>

#include "ui/bitmap_image.h"

struct CMediaRow;
class QPainter;

// The pictures and fonts every row of a list shares.
struct MediaRowLook {
    MediaRowLook(const QFont& listFont);

    CBitmapImage selectedFocus;    // 343
    CBitmapImage selectedNoFocus;  // 344
    CBitmapImage markOn;           // 366
    CBitmapImage markOff;          // 365
    QFont bold;
    QFont normal;
};

struct MediaRowCells {
    QRect row;    // the whole row
    QRect marks;  // empty without a marks column
    QRect thumbnail;
    QRect text;
};

struct MediaRowState {
    bool selected = false;
    bool listHasFocus = false;
};

void PaintMediaRow(QPainter& painter, const MediaRowLook& look, const MediaRowCells& cells, const CMediaRow& row,
                   MediaRowState state);

// The tab stop of a row text: the widest label (the part before a line's
// tab, for lines that do not start with one) plus 14; 0 without labels.
int TabStopOf(const QStringList& lines, const QFontMetrics& metrics);
