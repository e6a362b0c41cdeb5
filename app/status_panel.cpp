#include "app/status_panel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <chrono>

#include "app/kestrel_doc.h"
#include "res/string_table.h"

namespace {
constexpr int kBarBorder = 20;
constexpr int kTextMargin = 6;
constexpr int IDS_TIME_ELAPSED = 10110;
constexpr int IDS_TIME_LEFT = 10111;

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// Every line cut to the width with an ellipsis, as the status may carry
// a long file name.
QString ElideLines(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, width);
    return lines.join(u'\n');
}
}  // namespace

CStatusPanel::CStatusPanel() : m_clock(SteadySeconds)
{
    m_background.LoadFromResource(330);
    m_leftCap.LoadFromResource(331);
    m_rightCap.LoadFromResource(329);
    m_barBackground.LoadFromResource(336);
    m_barFill.LoadFromResource(337);
    m_abort.LoadFromResource(338);
    m_abortHover.LoadFromResource(339);
}

void CStatusPanel::SetState(bool idle, float progress, const QString& status)
{
    FollowTimes(idle, progress);
    m_bIdle = idle;
    m_progress = progress;
    m_status = status;
}

void CStatusPanel::FollowTimes(bool idle, float progress)
{
    const CTranscodeTask* task = m_pDoc && !idle ? m_pDoc->CurrentTask() : nullptr;
    if (!task) {
        m_times.Reset();
        m_item = nullptr;
        return;
    }
    const double now = m_clock();
    if (task != m_item)
        m_times.StartItem(now);
    m_item = task;
    m_times.Sample(now, progress);
    m_waiting = int(m_pDoc->Queue().size());
}

QString CStatusPanel::Text() const
{
    if (!m_times.IsRunning())
        return m_status;
    const std::optional<double> itemLeft = m_times.ItemLeft();
    const QString times = itemLeft ? FormatString(IDS_TIME_LEFT, {FormatDuration(*itemLeft),
                                                                  FormatDuration(*m_times.QueueLeft(m_waiting))})
                                   : FormatString(IDS_TIME_ELAPSED, {FormatDuration(m_times.Elapsed())});
    return m_status + u'\n' + times;
}

void CStatusPanel::HoverAt(const QPoint& point)
{
    if (!m_bIdle)
        m_bHover = m_rcAbort.contains(point);
}

void CStatusPanel::Paint(QPainter& painter)
{
    m_background.Draw(painter, m_rcPanel, QRect(0, 0, m_background.Width(), m_background.Height()), 255);
    m_leftCap.DrawImage(painter, m_rcPanel.left(), m_rcPanel.top(), 255);
    m_rightCap.DrawImage(painter, m_rcPanel.left() + m_rcPanel.width() - m_rightCap.Width(), m_rcPanel.top(), 255);
    if (!m_bIdle)
        PaintBar(painter);
}

void CStatusPanel::PaintBar(QPainter& painter)
{
    const int l = m_rcPanel.left(), t = m_rcPanel.top();
    const int r = l + m_rcPanel.width(), b = t + m_rcPanel.height();
    const int x0 = l + m_leftCap.Width() + 10;
    const int x1 = r - m_rightCap.Width() + 10;
    const int abortLeft = x1 - 172;
    m_rcAbort = Edges(abortLeft, (t + b - m_abort.Height()) / 2, abortLeft + m_abort.Width(), (t + b + m_abort.Height()) / 2);
    const int fillEnd = x0 + int(float(abortLeft - x0) * std::min(m_progress, 1.0f));

    const QRect text = Edges(m_rcAbort.right() + 1, t, x1, b).adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin);
    painter.save();
    painter.setPen(Qt::black);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, ElideLines(Text(), painter.fontMetrics(), text.width()));
    painter.restore();

    m_barBackground.DrawNineGrid(kBarBorder, painter, Edges(x0, t, abortLeft, b));
    m_barFill.DrawNineGrid(kBarBorder, painter, Edges(x0, t, fillEnd, b));
    const CBitmapImage& button = m_bHover ? m_abortHover : m_abort;
    button.DrawImage(painter, m_rcAbort.left(), m_rcAbort.top(), 255);
}
