// Anchored layout: registered child controls keep fixed distances from the
// chosen sides of their host when the host is resized. A host registers each
// control once, where it was first placed, and calls ArrangeAnchors from its
// resizeEvent. Controls are found by their control id (ui/control_id.h).
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

enum AnchorFlags : unsigned {
    ANCHOR_LEFT = 1,
    ANCHOR_TOP = 2,
    ANCHOR_RIGHT = 4,
    ANCHOR_BOTTOM = 8,
};

// One registered control. An edge value of 0 or more is a distance from the
// host's left (left, right) or top (top, bottom) edge; a negative value is
// measured back from the host's right or bottom edge.
struct CAnchorInfo {
    int nID = 0;
    unsigned nFlags = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class CAnchorLogic {
public:
    // The window whose client area the controls live in; null until set.
    void SetAnchorHost(QWidget* host) { m_host = host; }
    QWidget* AnchorHost() const { return m_host; }

    // Registers the host's child with that id at its current place; does
    // nothing without a host or without such a child.
    void AddAnchor(int id, unsigned flags);
    // Places, sizes, hides or shows every registered control for the host's
    // current size. Controls too small or reaching beyond the host are hidden.
    void ArrangeAnchors();

    const QList<CAnchorInfo>& Anchors() const { return m_anchors; }

private:
    QList<CAnchorInfo> m_anchors;
    QPointer<QWidget> m_host;
};
