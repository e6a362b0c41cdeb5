#include "medialist/media_row_painter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "medialist/media_list_model.h"

namespace {

constexpr int kTextInsetX = 6;
constexpr int kTextInsetY = 2;
constexpr int kThumbnailInset = 6;
constexpr int kSelectionBorder = 2;
constexpr int kLabelGap = 14;
constexpr int kSeparatorInset = 6;

CBitmapImage Loaded(int id)
{
    CBitmapImage image;
    image.LoadFromResource(id);
    return image;
}

void PaintBackground(QPainter& painter, const MediaRowLook& look, const QRect& row, MediaRowState state)
{
    if (state.selected)
        (state.listHasFocus ? look.selectedFocus : look.selectedNoFocus).DrawNineGrid(kSelectionBorder, painter, row);
    else
        painter.fillRect(row, Qt::white);
}

// Each line after the name: label and value at the tab stop.
void PaintLabelledLines(QPainter& painter, const QStringList& lines, const QRect& cell, int lineHeight)
{
    const int tabStop = TabStopOf(lines, painter.fontMetrics());
    for (int i = 1; i < lines.size(); ++i) {
        const int y = cell.top() + i * lineHeight;
        const qsizetype tab = lines[i].indexOf(u'\t');
        const QRect lineRect(cell.left(), y, cell.width(), lineHeight);
        if (tab < 0) {
            painter.drawText(lineRect, Qt::AlignLeft | Qt::AlignTop, lines[i]);
            continue;
        }
        painter.drawText(lineRect, Qt::AlignLeft | Qt::AlignTop, lines[i].left(tab));
        painter.drawText(lineRect.adjusted(tabStop, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, lines[i].mid(tab + 1));
    }
}

void PaintText(QPainter& painter, const MediaRowLook& look, const QRect& textCell, const QString& text)
{
    const QRect cell = textCell.adjusted(kTextInsetX, kTextInsetY, -kTextInsetX, -kTextInsetY);
    const QStringList lines = text.split(u'\n');
    painter.setPen(Qt::black);
    painter.setFont(look.bold);
    const int lineHeight = QFontMetrics(look.bold).height();
    painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, lines.first());
    painter.setFont(look.normal);
    if (text.contains(u'\t')) {
        PaintLabelledLines(painter, lines, cell, lineHeight);
        return;
    }
    const QString rest = lines.mid(1).join(u'\n');
    painter.drawText(cell.adjusted(0, lineHeight, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, rest);
}

void PaintThumbnail(QPainter& painter, const QRect& cell, const CBitmapImage& picture)
{
    if (picture.IsNull())
        return;
    const QRect inset = cell.adjusted(kThumbnailInset, kThumbnailInset, -kThumbnailInset, -kThumbnailInset);
    picture.DrawImage(painter, inset.left() + (inset.width() - picture.Width()) / 2, inset.top());
}

void PaintMark(QPainter& painter, const MediaRowLook& look, const QRect& cell, bool marked)
{
    const CBitmapImage& mark = marked ? look.markOn : look.markOff;
    const int x = cell.left() + (cell.width() - look.markOn.Width()) / 2;
    const int y = cell.top() + (cell.height() - look.markOn.Height()) / 2;
    mark.DrawImage(painter, x, y);
}

void PaintSeparator(QPainter& painter, const QRect& row)
{
    QPen pen(QApplication::palette().color(QPalette::Button), 1, Qt::DotLine);
    painter.setPen(pen);
    const int y = row.bottom();
    painter.drawLine(row.left() + kSeparatorInset, y, row.right() - kSeparatorInset, y);
}

}  // namespace

MediaRowLook::MediaRowLook(const QFont& listFont)
    : selectedFocus(Loaded(343)),
      selectedNoFocus(Loaded(344)),
      markOn(Loaded(366)),
      markOff(Loaded(365)),
      bold(listFont),
      normal(listFont)
{
    bold.setWeight(QFont::Bold);
}

int TabStopOf(const QStringList& lines, const QFontMetrics& metrics)
{
    int widest = -1;
    for (const QString& line : lines) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0)
            widest = std::max(widest, metrics.horizontalAdvance(line.left(tab)));
    }
    return widest < 0 ? 0 : widest + kLabelGap;
}

void PaintMediaRow(QPainter& painter, const MediaRowLook& look, const MediaRowCells& cells, const CMediaRow& row,
                   MediaRowState state)
{
    painter.save();
    const QRect rowRect = cells.row.adjusted(0, 0, 0, -1);
    PaintBackground(painter, look, rowRect, state);
    PaintText(painter, look, cells.text, row.text);
    PaintThumbnail(painter, cells.thumbnail, row.item.m_image);
    if (!cells.marks.isEmpty() && row.item.m_nKind != MK_FOLDER)
        PaintMark(painter, look, cells.marks, row.marked);
    PaintSeparator(painter, rowRect);
    painter.restore();
}
