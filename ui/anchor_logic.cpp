#include "ui/anchor_logic.h"

#include "ui/control_id.h"

void CAnchorLogic::AddAnchor(int id, unsigned flags)
{
    QWidget* child = ControlById(m_host, id);
    if (!child)
        return;
    // A child widget's geometry is already in its parent's client coordinates;
    // right and bottom are exclusive, as window rectangles are.
    const QRect placed = child->geometry();
    const int childRight = placed.x() + placed.width();
    const int childBottom = placed.y() + placed.height();
    const int width = m_host->width();
    const int height = m_host->height();
    CAnchorInfo info;
    info.nID = id;
    info.nFlags = flags;
    info.left = (flags & ANCHOR_LEFT) ? placed.x() : placed.x() - width;
    info.top = (flags & ANCHOR_TOP) ? placed.y() : placed.y() - height;
    info.right = (flags & ANCHOR_RIGHT) ? childRight - width : childRight;
    info.bottom = (flags & ANCHOR_BOTTOM) ? childBottom - height : childBottom;
    m_anchors.append(info);
}

void CAnchorLogic::ArrangeAnchors()
{
    if (!m_host)
        return;
    const int width = m_host->width();
    const int height = m_host->height();
    const auto resolve = [](int edge, int extent) { return edge < 0 ? edge + extent : edge; };
    for (const CAnchorInfo& info : m_anchors) {
        QWidget* child = ControlById(m_host, info.nID);
        if (!child)
            continue;
        const int left = resolve(info.left, width);
        const int right = resolve(info.right, width);
        const int top = resolve(info.top, height);
        const int bottom = resolve(info.bottom, height);
        const bool fits = right - left > 0 && bottom - top > 0 && right <= width && bottom <= height;
        child->setVisible(fits);
        child->setGeometry(left, top, right - left, bottom - top);
    }
}
