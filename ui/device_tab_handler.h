// A row of device tabs (picture and name) above a panel: the selected
// device in the middle on a highlight, the others to its left in the list's
// cyclic order, and previous/next arrows at the ends once there are two
// tabs. It also paints the panel behind the pages shown in it.
// The view places it (SetRect), draws it and passes on mouse moves and
// clicks in its own client coordinates. User-interface thread only.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

#include "platform/com/guid.h"
#include "ui/bitmap_image.h"
#include "ui/erase_handler.h"

class QFontMetrics;

// One tab: where it was drawn last (empty when it was not) is where it
// can be clicked.
struct CTabDescriptor {
    CBitmapImage m_image;
    QString m_strName;
    QRect m_rect;
    bool m_bHover = false;
    GUID m_id = GUID_NULL;
};

class CDeviceTabHandler final : public CEraseHandler {
public:
    // The tab row's height above the panel; the highlight reaches 5 pixels
    // further down, into the panel.
    static constexpr int kStripHeight = 67;

    CDeviceTabHandler();

    // The whole area, tab row and panel, in the erase window's coordinates.
    void SetRect(const QRect& whole);
    QRect PanelRect() const { return m_rcPanel; }
    void SetEraseWnd(QWidget* wnd) { m_pWnd = wnd; }

    // Appends a tab with its own copy of the picture.
    void AddTab(const QString& name, const CBitmapImage& image, const GUID& id);
    void RemoveAllTabs();

    void DrawTabs(QPainter& painter);
    void ClickAt(const QPoint& point);
    void HoverAt(const QPoint& point);
    // GUID_NULL when the selection is out of range.
    GUID GetSelectedId() const;

    void EraseBackground(QPainter& painter) override;
    QWidget* GetEraseWnd() override { return m_pWnd; }

    int TabCount() const { return int(m_tabs.size()); }
    const CTabDescriptor& Tab(int index) const { return *m_tabs[size_t(index)]; }
    const CTabDescriptor& PrevArrow() const { return m_prevTab; }
    const CTabDescriptor& NextArrow() const { return m_nextTab; }
    int Selection() const { return m_nSel; }
    void SetSelection(int index) { m_nSel = index; }

private:
    int TabWidth(const CTabDescriptor& tab, const QFontMetrics& metrics) const;
    int FirstTabToDraw(int& x, const QFontMetrics& metrics) const;
    void DrawArrows(QPainter& painter, int bottom);
    void DrawTab(QPainter& painter, CTabDescriptor& tab, const QRect& rect) const;

    QRect m_rcPanel;
    int m_stripLeft = 0;
    int m_stripTop = 0;
    int m_stripRight = 0;
    CBitmapImage m_imgHighlight;
    CBitmapImage m_imgPanel;
    std::vector<std::unique_ptr<CTabDescriptor>> m_tabs;
    CTabDescriptor m_prevTab;
    CTabDescriptor m_nextTab;
    int m_nSel = 0;
    QWidget* m_pWnd = nullptr;
};
