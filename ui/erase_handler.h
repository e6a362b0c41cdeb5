// A painter of the background that the main view and its pages share. A page
// or a transparent control lets its handler paint the part of the background
// that lies behind it, so it looks like part of the window around it.
#pragma once

class QPainter;
class QWidget;

class CEraseHandler {
public:
    virtual ~CEraseHandler() = default;
    // Paints the background, in the client coordinates of GetEraseWnd().
    virtual void EraseBackground(QPainter& painter) = 0;
    // The window whose client area the background belongs to.
    virtual QWidget* GetEraseWnd() = 0;
};

// Paints into `widget` (through `painter`, which paints on it) exactly the part
// of the handler's background that lies behind the widget: the origin is moved
// to the erase window's and the painting is clipped to the widget. The
// painter's state is left as it was.
void EraseWithHandler(CEraseHandler& handler, QWidget& widget, QPainter& painter);
