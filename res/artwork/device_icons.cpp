// The device tab pictures, drawn on a 32 x 32 grid.
#include <QPainter>

#include "res/artwork/artwork_catalog.h"
#include "res/artwork/artwork_style.h"

namespace art {

namespace {

// A screen with a dark glass and a faint reflection across its upper half.
void DrawScreen(QPainter& painter, const QRectF& frame, qreal radius)
{
    FillShape(painter, Rounded(frame, radius), kSoft, kMist, kSlate);
    const QRectF glass = frame.adjusted(2.5, 2.5, -2.5, -2.5);
    FillShape(painter, Rounded(glass, radius / 2), kSlate, kSlateDeep, Qt::transparent);
    QPainterPath glare;
    glare.moveTo(glass.topLeft());
    glare.lineTo(glass.left() + glass.width() * 0.55, glass.top());
    glare.lineTo(glass.left(), glass.top() + glass.height() * 0.6);
    glare.closeSubpath();
    painter.fillPath(glare, Faded(Qt::white, 40));
}

}  // namespace

void PaintComputer(QPainter& painter, const QSize&)
{
    SoftShadow(painter, Rounded(QRectF(3, 4, 26, 19), 2.5), 1.5, 1, 60);
    DrawScreen(painter, QRectF(3, 4, 26, 19), 2.5);
    painter.fillPath(PlayTriangle(QRectF(13, 10, 7, 7)), kAccentLight);
    QPainterPath stand;
    stand.moveTo(13.5, 23);
    stand.lineTo(18.5, 23);
    stand.lineTo(19.5, 27);
    stand.lineTo(12.5, 27);
    stand.closeSubpath();
    FillShape(painter, stand, kMist, kSlate, Qt::transparent);
    FillShape(painter, Rounded(QRectF(9, 26.5, 14, 2.5), 1.2), kSoft, kMist, kSlate, 0.8);
}

void PaintVideoDvd(QPainter& painter, const QSize&)
{
    QPainterPath outline;
    outline.addEllipse(QPointF(16, 16), 13.5, 13.5);
    SoftShadow(painter, outline, 1.5, 1, 60);
    DrawDisc(painter, QPointF(16, 16), 13.5);
    // A film frame badge says "video" on the disc.
    const QRectF badge(17, 17, 13, 11);
    FillShape(painter, Rounded(badge, 2), kAccent, kAccent.darker(125), kSlateDeep, 0.8);
    painter.fillPath(PlayTriangle(badge.adjusted(4, 2.5, -3, -2.5)), kPaper);
}

void PaintVideoSearch(QPainter& painter, const QSize&)
{
    const QRectF frame(2, 5, 23, 18);
    SoftShadow(painter, Rounded(frame, 3), 1.5, 1, 60);
    FillShape(painter, Rounded(frame, 3), kAccent.lighter(115), kAccent.darker(115), kSlateDeep);
    painter.fillPath(PlayTriangle(QRectF(9, 9.5, 9, 9)), kPaper);
    // A magnifier over the corner: searching for videos.
    QPainterPath lens;
    lens.addEllipse(QPointF(22, 21), 6, 6);
    FillShape(painter, lens, Faded(kPaper, 235), Faded(kAccentPale, 235), kSlateDeep, 2.0);
    QPainterPath handle;
    handle.moveTo(26.3, 25.3);
    handle.lineTo(29.5, 28.5);
    StrokeLine(painter, handle, kSlateDeep, 3.0);
}

void PaintSlideShow(QPainter& painter, const QSize&)
{
    auto photo = [&painter](qreal angle, const QColor& sky) {
        painter.save();
        painter.translate(16, 16);
        painter.rotate(angle);
        const QRectF card(-12, -9.5, 24, 19);
        SoftShadow(painter, Rounded(card, 1.5), 1.2, 0.8, 50);
        FillShape(painter, Rounded(card, 1.5), kPaper, kSoft, kSlate, 0.8);
        const QRectF picture = card.adjusted(2, 2, -2, -2);
        FillShape(painter, Rounded(picture, 0.5), sky.lighter(125), sky, Qt::transparent);
        QPainterPath hills;
        hills.moveTo(picture.bottomLeft());
        hills.lineTo(picture.left() + 6, picture.bottom() - 7);
        hills.lineTo(picture.left() + 10, picture.bottom() - 4);
        hills.lineTo(picture.left() + 14, picture.bottom() - 9);
        hills.lineTo(picture.right(), picture.bottom() - 2);
        hills.lineTo(picture.bottomRight());
        hills.closeSubpath();
        painter.fillPath(hills, kSlate);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kSand);
        painter.drawEllipse(QPointF(picture.left() + 4.5, picture.top() + 4), 2, 2);
        painter.restore();
    };
    photo(-12, kMist);
    photo(6, kAccentLight);
}

void PaintAudioCd(QPainter& painter, const QSize&)
{
    QPainterPath outline;
    outline.addEllipse(QPointF(16, 16), 13.5, 13.5);
    SoftShadow(painter, outline, 1.5, 1, 60);
    DrawDisc(painter, QPointF(16, 16), 13.5);
    const QRectF badge(17, 16, 13, 13);
    QPainterPath circle;
    circle.addEllipse(badge);
    FillShape(painter, circle, kAccent, kAccent.darker(125), kSlateDeep, 0.8);
    DrawNotes(painter, badge.adjusted(3, 3, -3, -3), kPaper);
}

void PaintNetbook(QPainter& painter, const QSize&)
{
    SoftShadow(painter, Rounded(QRectF(2, 22, 28, 5), 2), 1.5, 1, 60);
    DrawScreen(painter, QRectF(5, 5, 22, 17), 2);
    painter.fillPath(PlayTriangle(QRectF(13, 10, 7, 7)), kAccentLight);
    QPainterPath base;
    base.moveTo(3, 22);
    base.lineTo(29, 22);
    base.lineTo(30, 25.5);
    base.quadTo(30, 27, 28.5, 27);
    base.lineTo(3.5, 27);
    base.quadTo(2, 27, 2, 25.5);
    base.closeSubpath();
    FillShape(painter, base, kSoft, kMist, kSlate);
    painter.fillRect(QRectF(13, 23.5, 6, 1.2), Faded(kSlate, 150));
}

}  // namespace art
