#include "ui/device_tab_handler.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Tabs without pictures: their widths come from their names alone.
class TabStripTest : public testing::Test {
protected:
    void Add(const char* name, unsigned id)
    {
        GUID guid = GUID_NULL;
        guid.Data1 = id;
        tabs.AddTab(QString::fromLatin1(name), CBitmapImage(), guid);
    }
    void Draw()
    {
        QImage canvas(width, 400, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&canvas);
        tabs.DrawTabs(painter);
    }
    QRect Rect(int index) const { return tabs.Tab(index).m_rect; }

    int width = 900;
    CDeviceTabHandler tabs;
};

TEST_F(TabStripTest, DrawsTheOthersLeftOfTheSelectedInCyclicOrder)
{
    tabs.SetRect(QRect(0, 0, width, 300));
    Add("Alpha", 1), Add("Beta", 2), Add("Gamma", 3);
    tabs.SetSelection(1);
    Draw();
    // Gamma, Alpha, then Beta on the highlight; nothing to the right of Beta.
    EXPECT_LT(Rect(2).right(), Rect(0).left());
    EXPECT_EQ(Rect(0).right() + 1, Rect(1).left());
    EXPECT_NEAR(Rect(1).center().x(), width / 2, 1);
    const QFontMetrics metrics{QFont()};
    EXPECT_EQ(Rect(1).width(), metrics.horizontalAdvance(QStringLiteral("Beta")) + 48);
    EXPECT_EQ(Rect(0).width(), metrics.horizontalAdvance(QStringLiteral("Alpha")) + 16);
    EXPECT_EQ(Rect(1).top(), 0);
    EXPECT_EQ(Rect(1).bottom() + 1, CDeviceTabHandler::kStripHeight + 5);
}

TEST_F(TabStripTest, ArrowsStepTheSelectionBothWays)
{
    tabs.SetRect(QRect(0, 0, width, 300));
    Add("Alpha", 1), Add("Beta", 2), Add("Gamma", 3);
    tabs.SetSelection(1);
    Draw();
    ASSERT_FALSE(tabs.NextArrow().m_rect.isEmpty());
    EXPECT_EQ(tabs.PrevArrow().m_rect.left(), 0);
    EXPECT_EQ(tabs.NextArrow().m_rect.right() + 1, width);

    tabs.ClickAt(tabs.NextArrow().m_rect.center());
    EXPECT_EQ(tabs.GetSelectedId().Data1, 3u);
    Draw();
    EXPECT_NEAR(Rect(2).center().x(), width / 2, 1);  // Gamma now centred

    tabs.ClickAt(tabs.PrevArrow().m_rect.center());
    tabs.ClickAt(tabs.PrevArrow().m_rect.center());
    EXPECT_EQ(tabs.GetSelectedId().Data1, 1u);
    tabs.ClickAt(tabs.PrevArrow().m_rect.center());
    EXPECT_EQ(tabs.GetSelectedId().Data1, 3u);  // wraps to the end
}

TEST_F(TabStripTest, ClickingATabSelectsIt)
{
    tabs.SetRect(QRect(0, 0, width, 300));
    Add("Alpha", 1), Add("Beta", 2), Add("Gamma", 3);
    Draw();
    tabs.ClickAt(Rect(2).center());
    EXPECT_EQ(tabs.Selection(), 2);
}

TEST_F(TabStripTest, OneTabHasNoArrowsAndIgnoresClicksBesideIt)
{
    tabs.SetRect(QRect(0, 0, width, 300));
    Add("Alpha", 1);
    Draw();
    EXPECT_TRUE(tabs.PrevArrow().m_rect.isEmpty());
    EXPECT_TRUE(tabs.NextArrow().m_rect.isEmpty());
    EXPECT_NEAR(Rect(0).center().x(), width / 2, 1);
    tabs.ClickAt(QPoint(5, 10));
    tabs.ClickAt(QPoint(width - 5, 10));
    EXPECT_EQ(tabs.Selection(), 0);
}

TEST_F(TabStripTest, TabsThatDoNotFitCannotBeClicked)
{
    width = 260;
    tabs.SetRect(QRect(0, 0, width, 300));
    Add("A rather long first name", 1), Add("Second", 2), Add("A rather long third name", 3);
    tabs.SetSelection(1);
    Draw();
    EXPECT_FALSE(Rect(1).isEmpty());
    EXPECT_TRUE(Rect(0).isEmpty());
    EXPECT_TRUE(Rect(2).isEmpty());
}

TEST_F(TabStripTest, SelectionOutOfRangeSelectsNoDevice)
{
    tabs.SetRect(QRect(0, 0, width, 300));
    Add("Alpha", 1);
    tabs.SetSelection(4);
    Draw();
    EXPECT_EQ(tabs.GetSelectedId(), GUID_NULL);
    EXPECT_TRUE(Rect(0).isEmpty());
}

TEST_F(TabStripTest, HoverFollowsTheMouseButNeverStaysOnTheSelectedAfterDrawing)
{
    tabs.SetRect(QRect(0, 0, width, 300));
    Add("Alpha", 1), Add("Beta", 2);
    Draw();
    tabs.HoverAt(Rect(1).center());
    EXPECT_TRUE(tabs.Tab(1).m_bHover);
    EXPECT_FALSE(tabs.Tab(0).m_bHover);
    tabs.HoverAt(Rect(0).center());
    EXPECT_TRUE(tabs.Tab(0).m_bHover);
    Draw();
    EXPECT_FALSE(tabs.Tab(0).m_bHover);
}

}  // namespace
