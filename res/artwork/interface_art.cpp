// The surfaces of the main view: its background, the device panels with the
// selected tab, the Transfer button, the status panel with its progress bar
// and abort button, the media list's selection and the splash picture.
#include <QLinearGradient>
#include <QPainter>

#include "res/artwork/artwork_catalog.h"
#include "res/artwork/artwork_style.h"

namespace art {

namespace {

const QColor kHairline{0xB4, 0xC3, 0xD0};

void FillVertical(QPainter& painter, const QRectF& rect, std::initializer_list<std::pair<qreal, QColor>> stops)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    for (const auto& [at, colour] : stops)
        gradient.setColorAt(at, colour);
    painter.fillRect(rect, gradient);
}

// The progress bar's pill, 18 pixels high and centred in the panel's height,
// with its rounded ends inside the 20-pixel borders the bar is stretched by.
QPainterPath BarPill(const QSize& size)
{
    return Rounded(QRectF(1.5, size.height() / 2.0 - 9, size.width() - 3, 18), 9);
}

void PaintCap(QPainter& painter, const QSize& size, bool left)
{
    QLinearGradient edge(0, 0, size.width(), 0);
    edge.setColorAt(left ? 0 : 1, Faded(kSlate, 70));
    edge.setColorAt(left ? 1 : 0, Faded(kSlate, 0));
    painter.fillRect(QRect(QPoint(), size), edge);
}

void PaintAbortButton(QPainter& painter, const QSize& size, const QColor& top, const QColor& bottom,
                      const QColor& cross)
{
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const qreal radius = size.width() / 2.0 - 2;
    QPainterPath circle;
    circle.addEllipse(centre, radius, radius);
    SoftShadow(painter, circle, 1, 0.5, 50);
    FillShape(painter, circle, top, bottom, bottom.darker(130));
    const qreal arm = radius * 0.42;
    QPainterPath x;
    x.moveTo(centre + QPointF(-arm, -arm));
    x.lineTo(centre + QPointF(arm, arm));
    x.moveTo(centre + QPointF(arm, -arm));
    x.lineTo(centre + QPointF(-arm, arm));
    StrokeLine(painter, x, cross, 2.2);
}

void PaintSelection(QPainter& painter, const QSize& size, const QColor& top, const QColor& bottom,
                    const QColor& border)
{
    painter.fillRect(QRect(QPoint(), size), Qt::white);
    const QRectF rect = QRectF(QPointF(), size).adjusted(0.5, 0.5, -0.5, -0.5);
    FillShape(painter, Rounded(rect, 1.5), top, bottom, border);
}

}  // namespace

void PaintViewBackground(QPainter& painter, const QSize& size)
{
    // Light where the tab names (black) stand, deepening to slate around the
    // Transfer button, whose caption is white.
    FillVertical(painter, QRectF(QPointF(), size),
                 {{0.0, QColor(0xF1, 0xF4, 0xF7)},
                  {0.2, kSoft},
                  {0.42, QColor(0x6C, 0x86, 0x9B)},
                  {0.62, kSlate},
                  {1.0, kSlateDeep}});
}

void PaintDevicePanel(QPainter& painter, const QSize& size)
{
    const QRectF card = QRectF(QPointF(), size).adjusted(3, 2, -3, -4);
    SoftShadow(painter, Rounded(card, 10), 3, 1.5, 70);
    FillShape(painter, Rounded(card, 10), kPaper, QColor(0xEE, 0xF2, 0xF6), kHairline);
}

void PaintTabHighlight(QPainter& painter, const QSize& size)
{
    // Open at the bottom and ending in the panel's own white, so the selected
    // tab grows out of the panel it overlaps by 5 pixels.
    const QRectF body(3, 2, size.width() - 6, size.height() + 12);
    SoftShadow(painter, Rounded(body, 10), 2.5, 0, 60);
    FillShape(painter, Rounded(body, 10), Qt::transparent, Qt::transparent, kHairline);
    painter.save();
    painter.setClipPath(Rounded(body.adjusted(0.5, 0.5, -0.5, 0), 9.5));
    FillVertical(painter, QRectF(0, 0, size.width(), size.height()),
                 {{0.0, kAccentPale}, {1.0 - 5.0 / size.height(), kPaper}, {1.0, kPaper}});
    painter.restore();
}

void PaintTransfer(QPainter& painter, const QSize& size)
{
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const qreal radius = size.width() / 2.0 - 3;
    QPainterPath circle;
    circle.addEllipse(centre, radius, radius);
    SoftShadow(painter, circle, 2.5, 1.5, 90);
    FillShape(painter, circle, kAccentLight, kAccent, Faded(kPaper, 200), 1.5);
    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(-radius * 0.5, 0));
    arrow.lineTo(centre + QPointF(radius * 0.45, 0));
    arrow.moveTo(centre + QPointF(radius * 0.08, -radius * 0.38));
    arrow.lineTo(centre + QPointF(radius * 0.48, 0));
    arrow.lineTo(centre + QPointF(radius * 0.08, radius * 0.38));
    StrokeLine(painter, arrow, kPaper, 4.0);
}

void PaintStatusBackground(QPainter& painter, const QSize& size)
{
    FillVertical(painter, QRectF(QPointF(), size), {{0.0, QColor(0xF4, 0xF7, 0xFA)}, {1.0, QColor(0xDC, 0xE4, 0xEB)}});
    painter.fillRect(QRect(0, 0, size.width(), 1), kHairline);
    painter.fillRect(QRect(0, 1, size.width(), 1), Qt::white);
}

void PaintStatusLeftCap(QPainter& painter, const QSize& size)
{
    PaintCap(painter, size, true);
}

void PaintStatusRightCap(QPainter& painter, const QSize& size)
{
    PaintCap(painter, size, false);
}

void PaintBarTrack(QPainter& painter, const QSize& size)
{
    FillShape(painter, BarPill(size), kMist, kPaper, kHairline);
}

void PaintBarFill(QPainter& painter, const QSize& size)
{
    const QPainterPath pill = BarPill(size);
    FillShape(painter, pill, kAccentLight, kAccent, kAccent.darker(120));
    // A soft gloss over the upper half.
    const QRectF gloss = pill.boundingRect().adjusted(3, 2, -3, -9);
    FillShape(painter, Rounded(gloss, 4), Faded(Qt::white, 110), Faded(Qt::white, 10), Qt::transparent);
}

void PaintAbort(QPainter& painter, const QSize& size)
{
    PaintAbortButton(painter, size, kPaper, kMist, kSlate);
}

void PaintAbortHover(QPainter& painter, const QSize& size)
{
    PaintAbortButton(painter, size, kCoral.lighter(125), kCoral, kPaper);
}

void PaintSelectionFocus(QPainter& painter, const QSize& size)
{
    PaintSelection(painter, size, QColor(0xE6, 0xF2, 0xF9), kAccentPale, kAccentLight);
}

void PaintSelectionNoFocus(QPainter& painter, const QSize& size)
{
    PaintSelection(painter, size, QColor(0xF2, 0xF4, 0xF6), QColor(0xE4, 0xE8, 0xEC), kMist);
}

void PaintSplash(QPainter& painter, const QSize& size)
{
    const QRectF all(QPointF(), size);
    FillVertical(painter, all, {{0.0, kPaper}, {1.0, kSoft}});
    // Two calm waves across the lower part, the accent fading into the paper.
    for (int wave = 0; wave < 2; ++wave) {
        const qreal base = size.height() * (0.74 + 0.1 * wave);
        QPainterPath band;
        band.moveTo(0, base);
        band.cubicTo(size.width() * 0.3, base - 46 + 20 * wave, size.width() * 0.6, base + 34,
                     size.width(), base - 28 + 10 * wave);
        band.lineTo(size.width(), size.height());
        band.lineTo(0, size.height());
        band.closeSubpath();
        FillShape(painter, band, Faded(wave ? kAccent : kAccentLight, 90), Faded(kAccentPale, 60), Qt::transparent);
    }
    painter.save();
    painter.translate(size.width() - 150, 34);
    PaintProgramIcon(painter, QSize(116, 116));
    painter.restore();
}

}  // namespace art
