#include "ui/flat_button.h"

#include <QGuiApplication>
#include <QPainter>

#include "ui/bitmap_image.h"
#include "ui/erase_handler.h"

namespace {
constexpr int kPictureLift = 8;       // the picture sits this much higher above a caption
constexpr int kCaptionOverlap = 6;    // the caption starts this far above the picture's middle line
constexpr int kDisabledAlpha = 128;

QColor SystemColour(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(role);
}
}  // namespace

CFlatButton::CFlatButton(QWidget* parent)
    : CFlatButton(SystemColour(QPalette::Base), SystemColour(QPalette::Highlight), SystemColour(QPalette::WindowText),
                  SystemColour(QPalette::HighlightedText), parent)
{
}

CFlatButton::CFlatButton(const QColor& face, const QColor& faceDown, const QColor& text, const QColor& textDown,
                         QWidget* parent)
    : QPushButton(parent), m_crFace(face), m_crFaceDown(faceDown), m_crText(text), m_crTextDown(textDown)
{
    setCursor(Qt::PointingHandCursor);
}

void CFlatButton::SetImageId(int id)
{
    m_nImageId = id;
    update();
}

void CFlatButton::SetEraseHandler(CEraseHandler* handler)
{
    m_pEraseHandler = handler;
    update();
}

void CFlatButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool pressed = isDown();
    PaintBackground(painter, pressed);
    const int captionTop = PaintPicture(painter);
    painter.setPen(pressed ? m_crTextDown : m_crText);
    painter.setFont(font());
    const QRect caption(0, captionTop, width(), height() - captionTop);
    painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
}

void CFlatButton::PaintBackground(QPainter& painter, bool pressed)
{
    if (pressed)
        painter.fillRect(rect(), m_crFaceDown);
    else if (m_pEraseHandler)
        EraseWithHandler(*m_pEraseHandler, *this, painter);
    else
        painter.fillRect(rect(), m_crFace);
}

int CFlatButton::PaintPicture(QPainter& painter)
{
    if (m_nImageId == 0)
        return 0;
    // Loaded on every drawing: pictures are small, and this keeps no copy.
    CBitmapImage picture;
    if (!picture.LoadFromResource(m_nImageId))
        return 0;
    const int x = (width() - picture.Width()) / 2;
    const int y = (height() - picture.Height()) / 2 - (text().isEmpty() ? 0 : kPictureLift);
    picture.DrawImage(painter, x, y, isEnabled() ? 255 : kDisabledAlpha);
    return (height() + picture.Height()) / 2 - kCaptionOverlap;
}
