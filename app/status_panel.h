// The strip along the bottom of the main view: when a transfer runs, a
// progress bar, an abort button and the queue's status text with the time
// elapsed or, once the pace is known, the time left for the running item
// and the queue; when idle, only its background. Its height is that of its
// background picture.
#pragma once

#include <QRect>
#include <QString>
#include <functional>

#include "app/time_left.h"
#include "ui/bitmap_image.h"

class CKestrelDoc;
class QPainter;

class CStatusPanel {
public:
    CStatusPanel();

    int Height() const { return m_background.Height(); }
    void SetRect(const QRect& rect) { m_rcPanel = rect; }
    QRect Rect() const { return m_rcPanel; }
    // Where the abort button was drawn last; its hit area.
    QRect AbortRect() const { return m_rcAbort; }

    // The item running is the document's current task (none without a document).
    void SetState(bool idle, float progress, const QString& status);
    bool IsIdle() const { return m_bIdle; }
    // Whether the point hits the abort button of a transfer on show.
    bool HitsAbort(const QPoint& point) const { return !m_bIdle && m_rcAbort.contains(point); }
    // Tracks the mouse over the abort button; nothing while idle.
    void HoverAt(const QPoint& point);
    bool IsHover() const { return m_bHover; }

    void SetDocument(CKestrelDoc* document) { m_pDoc = document; }
    CKestrelDoc* Document() const { return m_pDoc; }

    // Seconds on a steady clock; tests set their own.
    void SetClock(std::function<double()> clock) { m_clock = std::move(clock); }
    // What is written beside the bar.
    QString Text() const;

    void Paint(QPainter& painter);

private:
    void PaintBar(QPainter& painter);
    void FollowTimes(bool idle, float progress);

    QRect m_rcPanel;
    QRect m_rcAbort;
    CBitmapImage m_background;
    CBitmapImage m_leftCap;
    CBitmapImage m_rightCap;
    CBitmapImage m_barBackground;
    CBitmapImage m_barFill;
    CBitmapImage m_abort;
    CBitmapImage m_abortHover;
    bool m_bIdle = true;
    float m_progress = 0;
    QString m_status;
    CKestrelDoc* m_pDoc = nullptr;
    bool m_bHover = false;
    std::function<double()> m_clock;
    CTimeLeft m_times;
    const void* m_item = nullptr;  // the running task, only compared
    int m_waiting = 0;
};
