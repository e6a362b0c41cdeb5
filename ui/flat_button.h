// A flat push button in the program's look: an optional picture from the
// bitmaps above an optional caption, over the shared page background (or a
// plain face colour), with a face and text colour of its own while pressed.
#pragma once

#include <QColor>
#include <QPushButton>

class CEraseHandler;

class CFlatButton : public QPushButton {
    Q_OBJECT

public:
    // The colours pages use: window, highlight, window text, highlighted text.
    explicit CFlatButton(QWidget* parent = nullptr);
    CFlatButton(const QColor& face, const QColor& faceDown, const QColor& text, const QColor& textDown,
                QWidget* parent = nullptr);

    // Bitmap id of the picture; 0 for none.
    void SetImageId(int id);
    int ImageId() const { return m_nImageId; }
    // Paints the background behind the button when set; not owned.
    void SetEraseHandler(CEraseHandler* handler);
    CEraseHandler* EraseHandler() const { return m_pEraseHandler; }

    QColor FaceColor() const { return m_crFace; }
    QColor FaceDownColor() const { return m_crFaceDown; }
    QColor TextColor() const { return m_crText; }
    QColor TextDownColor() const { return m_crTextDown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintBackground(QPainter& painter, bool pressed);
    // Draws the picture; returns the top of the caption's rectangle.
    int PaintPicture(QPainter& painter);

    int m_nImageId = 0;
    QColor m_crFace, m_crFaceDown;
    QColor m_crText, m_crTextDown;
    CEraseHandler* m_pEraseHandler = nullptr;
};
