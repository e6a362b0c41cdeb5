// Button pictures, media list pictures and the program icon.
#include <QPainter>

#include "res/artwork/artwork_catalog.h"
#include "res/artwork/artwork_style.h"

namespace art {

namespace {

const QColor kMarkEdge{0xA3, 0xB4, 0xC3};

void PaintArrowButton(QPainter& painter, const QSize& size, bool next)
{
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const qreal radius = size.width() / 2.0 - 4;
    QPainterPath circle;
    circle.addEllipse(centre, radius, radius);
    SoftShadow(painter, circle, 1.5, 1, 60);
    FillShape(painter, circle, kPaper, kSoft, kMarkEdge);
    const qreal reach = radius * 0.34;
    const qreal tip = next ? reach : -reach;
    QPainterPath chevron;
    chevron.moveTo(centre + QPointF(-tip * 0.7, -radius * 0.45));
    chevron.lineTo(centre + QPointF(tip, 0));
    chevron.lineTo(centre + QPointF(-tip * 0.7, radius * 0.45));
    StrokeLine(painter, chevron, kSlate, 2.6);
}

void PaintMark(QPainter& painter, const QSize& size, bool marked)
{
    const QPainterPath box = Rounded(QRectF(QPointF(), size).adjusted(3, 3, -3, -3), 4);
    SoftShadow(painter, box, 1, 0.5, 40);
    if (!marked) {
        FillShape(painter, box, kPaper, kSoft, kMarkEdge, 1.2);
        return;
    }
    FillShape(painter, box, kAccentLight, kAccent, kAccent.darker(125), 1.2);
    QPainterPath check;
    check.moveTo(size.width() * 0.3, size.height() * 0.52);
    check.lineTo(size.width() * 0.44, size.height() * 0.66);
    check.lineTo(size.width() * 0.71, size.height() * 0.36);
    StrokeLine(painter, check, kPaper, 2.4);
}

// The rounded card that the media list's default pictures stand on.
QRectF PictureCard(QPainter& painter, const QSize& size)
{
    const QRectF card = QRectF(QPointF(), size).adjusted(4, 6, -4, -6);
    SoftShadow(painter, Rounded(card, 5), 2, 1, 60);
    return card;
}

}  // namespace

void PaintPrevious(QPainter& painter, const QSize& size)
{
    PaintArrowButton(painter, size, false);
}

void PaintNext(QPainter& painter, const QSize& size)
{
    PaintArrowButton(painter, size, true);
}

void PaintMarkOn(QPainter& painter, const QSize& size)
{
    PaintMark(painter, size, true);
}

void PaintMarkOff(QPainter& painter, const QSize& size)
{
    PaintMark(painter, size, false);
}

void PaintFolderPicture(QPainter& painter, const QSize& size)
{
    const QRectF box = QRectF(QPointF(), size).adjusted(4, 7, -4, -6);
    SoftShadow(painter, Rounded(box.adjusted(0, box.height() * 0.34, 0, 0), 3), 2, 1, 60);
    DrawFolder(painter, box);
}

void PaintVideoPicture(QPainter& painter, const QSize& size)
{
    // A strip of film with one frame showing a play sign.
    const QRectF card = PictureCard(painter, size);
    FillShape(painter, Rounded(card, 5), kSlate, kSlateDeep, kInk);
    const qreal hole = card.width() / 12;
    for (int i = 0; i < 5; ++i) {
        const qreal x = card.left() + hole * (1 + 2.25 * i);
        for (const qreal y : {card.top() + 2.0, card.bottom() - 2.0 - hole})
            painter.fillPath(Rounded(QRectF(x, y, hole * 1.2, hole), 0.8), Faded(kPaper, 170));
    }
    const QRectF frame = card.adjusted(3, hole + 4, -3, -hole - 4);
    FillShape(painter, Rounded(frame, 2), kAccentLight, kAccent, Qt::transparent);
    painter.fillPath(PlayTriangle(frame.adjusted(frame.width() * 0.36, 4, -frame.width() * 0.3, -4)), kPaper);
}

void PaintAudioPicture(QPainter& painter, const QSize& size)
{
    const QRectF card = PictureCard(painter, size);
    FillShape(painter, Rounded(card, 5), kPaper, kSoft, kMarkEdge);
    const QRectF badge(card.center().x() - 14, card.center().y() - 14, 28, 28);
    QPainterPath circle;
    circle.addEllipse(badge);
    FillShape(painter, circle, kAccentLight, kAccent, Qt::transparent);
    DrawNotes(painter, badge.adjusted(7, 7, -7, -7), kPaper);
}

void PaintUp(QPainter& painter, const QSize& size)
{
    const qreal w = size.width();
    DrawFolder(painter, QRectF(2, 5, w - 4, w - 9));
    QPainterPath arrow;
    arrow.moveTo(w / 2, w * 0.8);
    arrow.lineTo(w / 2, w * 0.42);
    arrow.moveTo(w * 0.33, w * 0.58);
    arrow.lineTo(w / 2, w * 0.41);
    arrow.lineTo(w * 0.67, w * 0.58);
    StrokeLine(painter, arrow, kSlateDeep, 2.2);
}

void PaintSearch(QPainter& painter, const QSize& size)
{
    const qreal w = size.width();
    QPainterPath lens;
    lens.addEllipse(QPointF(w * 0.42, w * 0.42), w * 0.27, w * 0.27);
    FillShape(painter, lens, kPaper, kAccentPale, kSlate, 2.2);
    QPainterPath handle;
    handle.moveTo(w * 0.62, w * 0.62);
    handle.lineTo(w * 0.85, w * 0.85);
    StrokeLine(painter, handle, kSlate, 3.2);
}

void PaintBrowse(QPainter& painter, const QSize& size)
{
    // An opened folder: the front leaf tilted back.
    const qreal w = size.width();
    DrawFolder(painter, QRectF(2, 4, w - 6, w - 8));
    QPainterPath leaf;
    leaf.moveTo(w * 0.22, w * 0.45);
    leaf.lineTo(w - 1.5, w * 0.45);
    leaf.lineTo(w - 5, w - 4);
    leaf.lineTo(2, w - 4);
    leaf.closeSubpath();
    FillShape(painter, leaf, kSand.lighter(120), kSand, kSandDeep.darker(120));
}

void PaintPreview(QPainter& painter, const QSize& size)
{
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const qreal radius = size.width() / 2.0 - 3;
    QPainterPath circle;
    circle.addEllipse(centre, radius, radius);
    SoftShadow(painter, circle, 1.5, 1, 60);
    FillShape(painter, circle, kAccentLight, kAccent, kAccent.darker(125));
    const qreal play = radius * 0.9;
    painter.fillPath(PlayTriangle(QRectF(centre.x() - play / 2 + 1, centre.y() - play / 2, play, play)), kPaper);
}

void PaintStop(QPainter& painter, const QSize& size)
{
    const QPainterPath square = Rounded(QRectF(QPointF(), size).adjusted(5, 5, -5, -5), 3);
    SoftShadow(painter, square, 1, 0.5, 50);
    FillShape(painter, square, kSlate, kSlateDeep, kInk);
}

}  // namespace art

void PaintProgramIcon(QPainter& painter, const QSize& size)
{
    using namespace art;
    const qreal s = size.width();
    const QRectF tile(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    SoftShadow(painter, Rounded(tile, s * 0.2), s * 0.02, s * 0.015, 70);
    FillShape(painter, Rounded(tile, s * 0.2), kAccentLight, kSlateDeep, Qt::transparent);
    // A ring that carries a play sign round to its arrow head: media on its way.
    const QPointF centre = tile.center();
    const qreal radius = s * 0.27;
    QPainterPath ring;
    ring.arcMoveTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 60);
    ring.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 60, 280);
    StrokeLine(painter, ring, kPaper, s * 0.055);
    const QPointF end = ring.currentPosition();
    QPainterPath head;
    head.moveTo(end + QPointF(-s * 0.09, -s * 0.035));
    head.lineTo(end + QPointF(s * 0.02, -s * 0.005));
    head.lineTo(end + QPointF(-s * 0.04, s * 0.09));
    head.closeSubpath();
    painter.fillPath(head, kPaper);
    const qreal play = s * 0.22;
    painter.fillPath(PlayTriangle(QRectF(centre.x() - play / 2 + s * 0.02, centre.y() - play / 2, play, play)),
                     kPaper);
}
