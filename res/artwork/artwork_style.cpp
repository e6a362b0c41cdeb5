#include "res/artwork/artwork_style.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace art {

QColor Faded(const QColor& colour, int alpha)
{
    QColor faded = colour;
    faded.setAlpha(alpha);
    return faded;
}

QPainterPath Rounded(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void FillShape(QPainter& painter, const QPainterPath& path, const QColor& top, const QColor& bottom,
               const QColor& outline, qreal outlineWidth)
{
    const QRectF bounds = path.boundingRect();
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.save();
    painter.setBrush(gradient);
    if (outline.alpha() == 0)
        painter.setPen(Qt::NoPen);
    else
        painter.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.restore();
}

void SoftShadow(QPainter& painter, const QPainterPath& path, qreal spread, qreal drop, int alpha)
{
    painter.save();
    painter.translate(0, drop);
    painter.setBrush(Qt::NoBrush);
    // Wide faint rings first, narrow darker ones last, so the shadow fades out.
    const int rings = qMax(1, qRound(spread));
    for (int ring = rings; ring >= 1; --ring) {
        const int ringAlpha = alpha * (rings - ring + 1) / (rings * rings);
        painter.setPen(QPen(Faded(kInk, ringAlpha), 2.0 * ring, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Faded(kInk, alpha / rings));
    painter.drawPath(path);
    painter.restore();
}

QPainterPath PlayTriangle(const QRectF& box)
{
    const qreal side = qMin(box.width(), box.height());
    const QPointF centre = box.center();
    // The triangle's centroid sits a little right of its box centre; shift it
    // back so it looks centred.
    const qreal left = centre.x() - side * 0.36;
    QPainterPath path;
    path.moveTo(left, centre.y() - side * 0.5);
    path.lineTo(left + side * 0.86, centre.y());
    path.lineTo(left, centre.y() + side * 0.5);
    path.closeSubpath();
    return path;
}

void DrawDisc(QPainter& painter, const QPointF& centre, qreal radius)
{
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    disc.addEllipse(centre, radius * 0.18, radius * 0.18);
    QRadialGradient sheen(centre, radius, centre - QPointF(radius * 0.4, radius * 0.5));
    sheen.setColorAt(0, kPaper);
    sheen.setColorAt(0.55, kSoft);
    sheen.setColorAt(0.8, kAccentPale);
    sheen.setColorAt(1, kMist);
    painter.save();
    painter.setBrush(sheen);
    painter.setPen(QPen(kSlate, 1.0));
    painter.drawPath(disc);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Faded(kSlate, 110), 1.0));
    painter.drawEllipse(centre, radius * 0.36, radius * 0.36);
    painter.restore();
}

void DrawNotes(QPainter& painter, const QRectF& box, const QColor& colour)
{
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal head = w * 0.26;
    const QPointF leftHead(box.left() + head * 0.55, box.bottom() - head * 0.45);
    const QPointF rightHead(box.right() - head * 0.45, box.bottom() - head * 0.45 - h * 0.12);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (const QPointF& centre : {leftHead, rightHead}) {
        painter.save();
        painter.translate(centre);
        painter.rotate(-22);
        painter.drawEllipse(QPointF(), head * 0.58, head * 0.42);
        painter.restore();
    }
    const qreal stem = qMax<qreal>(1.2, w * 0.09);
    const qreal leftX = leftHead.x() + head * 0.5;
    const qreal rightX = rightHead.x() + head * 0.5;
    QPainterPath beam;
    beam.moveTo(leftX - stem / 2, leftHead.y());
    beam.lineTo(leftX - stem / 2, box.top() + h * 0.18);
    beam.lineTo(rightX + stem / 2, box.top());
    beam.lineTo(rightX + stem / 2, rightHead.y());
    beam.lineTo(rightX - stem / 2, rightHead.y());
    beam.lineTo(rightX - stem / 2, box.top() + h * 0.2);
    beam.lineTo(leftX + stem / 2, box.top() + h * 0.38);
    beam.lineTo(leftX + stem / 2, leftHead.y());
    beam.closeSubpath();
    painter.drawPath(beam);
    painter.restore();
}

void DrawFolder(QPainter& painter, const QRectF& box)
{
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal radius = w * 0.07;
    QPainterPath back;
    back.moveTo(box.left(), box.top() + h * 0.12 + radius);
    back.quadTo(box.left(), box.top() + h * 0.12, box.left() + radius, box.top() + h * 0.12);
    back.lineTo(box.left() + w * 0.36, box.top() + h * 0.12);
    back.lineTo(box.left() + w * 0.44, box.top() + h * 0.24);
    back.lineTo(box.right() - radius, box.top() + h * 0.24);
    back.quadTo(box.right(), box.top() + h * 0.24, box.right(), box.top() + h * 0.24 + radius);
    back.lineTo(box.right(), box.bottom() - radius);
    back.quadTo(box.right(), box.bottom(), box.right() - radius, box.bottom());
    back.lineTo(box.left() + radius, box.bottom());
    back.quadTo(box.left(), box.bottom(), box.left(), box.bottom() - radius);
    back.closeSubpath();
    FillShape(painter, back, kSandDeep, kSandDeep.darker(115), kSandDeep.darker(135));
    const QRectF front(box.left(), box.top() + h * 0.34, w, h * 0.66);
    FillShape(painter, Rounded(front, radius), kSand.lighter(112), kSand, kSandDeep.darker(120));
}

void StrokeLine(QPainter& painter, const QPainterPath& path, const QColor& colour, qreal width)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.restore();
}

}  // namespace art
