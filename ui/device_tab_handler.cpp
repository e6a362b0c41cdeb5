#include "ui/device_tab_handler.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kHighlightBitmap = 311;
constexpr int kPanelBitmap = 310;
constexpr int kNextArrowBitmap = 332;
constexpr int kPrevArrowBitmap = 333;
constexpr int kPanelBorder = 24;  // one border for the row and the pages, so they line up
constexpr int kHighlightOverlap = 5;
constexpr int kTabGap = 16;
constexpr int kSelectedGap = 48;
constexpr QColor kHoverColour(212, 232, 255);

QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// The tab's own copy, made the way a picture travels through a stream.
CBitmapImage CopyOf(const CBitmapImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    image.SaveToStream(&buffer);
    buffer.seek(0);
    CBitmapImage copy;
    copy.LoadFromStream(&buffer);
    return copy;
}
}  // namespace

CDeviceTabHandler::CDeviceTabHandler()
{
    m_imgHighlight.LoadFromResource(kHighlightBitmap);
    m_imgPanel.LoadFromResource(kPanelBitmap);
    m_prevTab.m_image.LoadFromResource(kPrevArrowBitmap);
    m_nextTab.m_image.LoadFromResource(kNextArrowBitmap);
}

void CDeviceTabHandler::SetRect(const QRect& whole)
{
    m_stripLeft = whole.left();
    m_stripTop = whole.top();
    m_stripRight = whole.left() + whole.width();
    m_rcPanel = whole.adjusted(0, kStripHeight, 0, 0);
}

void CDeviceTabHandler::AddTab(const QString& name, const CBitmapImage& image, const GUID& id)
{
    auto tab = std::make_unique<CTabDescriptor>();
    tab->m_image = CopyOf(image);
    tab->m_strName = name;
    tab->m_id = id;
    m_tabs.push_back(std::move(tab));
}

void CDeviceTabHandler::RemoveAllTabs()
{
    m_tabs.clear();
}

GUID CDeviceTabHandler::GetSelectedId() const
{
    if (m_nSel < 0 || m_nSel >= TabCount())
        return GUID_NULL;
    return Tab(m_nSel).m_id;
}

int CDeviceTabHandler::TabWidth(const CTabDescriptor& tab, const QFontMetrics& metrics) const
{
    return qMax(tab.m_image.Width(), metrics.horizontalAdvance(tab.m_strName));
}

// Walks back from the selected tab until the row's left end (or every tab)
// is reached; returns the tab to start drawing with and its left edge in x.
int CDeviceTabHandler::FirstTabToDraw(int& x, const QFontMetrics& metrics) const
{
    const int n = TabCount();
    const int leftLimit = m_stripLeft + m_prevTab.m_image.Width() + kTabGap;
    int p = m_nSel;
    for (int visited = 1;; ++visited) {
        p = (p + n - 1) % n;
        x -= kTabGap + TabWidth(Tab(p), metrics);
        if (x <= leftLimit || visited == n)
            break;
    }
    x += TabWidth(Tab(p), metrics) + kTabGap;
    return (p + 1) % n;
}

void CDeviceTabHandler::DrawArrows(QPainter& painter, int bottom)
{
    if (TabCount() < 2) {
        m_prevTab.m_rect = QRect();
        m_nextTab.m_rect = QRect();
        return;
    }
    const int top = m_stripTop;
    m_prevTab.m_rect = Edges(m_stripLeft, top, m_stripLeft + m_prevTab.m_image.Width() + kTabGap, bottom);
    m_nextTab.m_rect = Edges(m_stripRight - m_nextTab.m_image.Width() - kTabGap, top, m_stripRight, bottom);
    DrawTab(painter, m_prevTab, m_prevTab.m_rect);
    DrawTab(painter, m_nextTab, m_nextTab.m_rect);
}

void CDeviceTabHandler::DrawTabs(QPainter& painter)
{
    if (m_nSel < 0 || m_nSel >= TabCount())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    const int left = m_stripLeft, right = m_stripRight, top = m_stripTop;
    const int bottom = m_rcPanel.top() + kHighlightOverlap;
    const int selectedWidth = TabWidth(Tab(m_nSel), metrics);

    m_imgPanel.DrawNineGrid(kPanelBorder, painter, m_rcPanel);
    const int highlightLeft = (left + right - (selectedWidth + kSelectedGap)) / 2;
    const int highlightRight = (left + right + selectedWidth + kSelectedGap) / 2;
    m_imgHighlight.DrawNineGrid(kPanelBorder, painter, Edges(highlightLeft, top, highlightRight, bottom));

    int x = highlightLeft;
    const int first = FirstTabToDraw(x, metrics);
    DrawArrows(painter, bottom);

    const int n = TabCount();
    const int leftLimit = left + m_prevTab.m_image.Width() + kTabGap;
    const int rightLimit = right - m_nextTab.m_image.Width() - kTabGap;
    for (int i = 0; i < n; ++i) {
        const int index = (first + i) % n;
        CTabDescriptor& tab = *m_tabs[size_t(index)];
        tab.m_rect = QRect();
        const int width = TabWidth(tab, metrics) + (index == m_nSel ? kSelectedGap : kTabGap);
        const QRect slot = Edges(x, top, x + width, bottom);
        x += width;
        if (slot.left() <= leftLimit || x >= rightLimit)
            continue;
        tab.m_rect = slot;
        if (index == m_nSel)
            tab.m_bHover = false;
        DrawTab(painter, tab, slot);
    }
}

void CDeviceTabHandler::DrawTab(QPainter& painter, CTabDescriptor& tab, const QRect& rect) const
{
    const int l = rect.left(), t = rect.top(), r = rect.left() + rect.width();
    const QRect picture((l + r - tab.m_image.Width()) / 2, t + 12, tab.m_image.Width(), tab.m_image.Height());
    if (tab.m_bHover) {
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(kHoverColour);
        painter.drawRoundedRect(picture.adjusted(-2, -2, 2, 2), 1, 1);
        painter.restore();
    }
    tab.m_image.DrawImage(painter, picture.left(), picture.top(), 255);
    painter.save();
    painter.setPen(Qt::black);
    const QRect text = Edges(l, t + tab.m_image.Height() + 16, r, rect.top() + rect.height());
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, tab.m_strName);
    painter.restore();
}

void CDeviceTabHandler::ClickAt(const QPoint& point)
{
    const int n = TabCount();
    if (n == 0)
        return;
    for (int i = 0; i < n; ++i) {
        if (Tab(i).m_rect.contains(point))
            m_nSel = i;
    }
    if (m_nextTab.m_rect.contains(point))
        m_nSel = (m_nSel + 1) % n;
    if (m_prevTab.m_rect.contains(point))
        m_nSel = (m_nSel + n - 1) % n;
}

void CDeviceTabHandler::HoverAt(const QPoint& point)
{
    for (auto& tab : m_tabs)
        tab->m_bHover = tab->m_rect.contains(point);
    m_prevTab.m_bHover = m_prevTab.m_rect.contains(point);
    m_nextTab.m_bHover = m_nextTab.m_rect.contains(point);
}

void CDeviceTabHandler::EraseBackground(QPainter& painter)
{
    m_imgPanel.DrawNineGrid(kPanelBorder, painter, m_rcPanel);
}
