// Anchored controls follow the sides of their host that they are tied to,
// and disappear while the host is too small for them.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "ui/anchor_logic.h"
#include "ui/control_id.h"

namespace {

constexpr int kControl = 1001;

struct Host {
    Host(const QRect& placed)
    {
        widget.resize(400, 300);
        control = SetControlId(new QWidget(&widget), kControl);
        control->setGeometry(placed);
        anchors.SetAnchorHost(&widget);
    }
    void ResizeTo(const QSize& size)
    {
        widget.resize(size);
        anchors.ArrangeAnchors();
    }

    QWidget widget;
    QWidget* control;
    CAnchorLogic anchors;
};

struct AnchorCase {
    const char* name;
    unsigned flags;
    QRect placed;     // in a 400 x 300 host
    QSize hostSize;   // after resizing
    QRect expected;
};

const QRect kButton(10, 20, 100, 30);
const QRect kList(10, 20, 380, 270);

const AnchorCase kAnchorCases[] = {
    {"fixed_stays_put", ANCHOR_LEFT | ANCHOR_TOP, kButton, {600, 500}, {10, 20, 100, 30}},
    {"width_follows_right_edge", ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT, kButton, {600, 500}, {10, 20, 300, 30}},
    {"right_button_keeps_distance", ANCHOR_TOP | ANCHOR_RIGHT, kButton, {600, 500}, {210, 20, 100, 30}},
    {"right_button_when_shrinking", ANCHOR_TOP | ANCHOR_RIGHT, {290, 20, 100, 30}, {350, 200}, {240, 20, 100, 30}},
    {"list_grows_with_margins", ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM, kList, {600, 500},
     {10, 20, 580, 470}},
    {"list_shrinks_with_margins", ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM, kList, {200, 150},
     {10, 20, 180, 120}},
    {"bottom_button_keeps_distance", ANCHOR_LEFT | ANCHOR_BOTTOM, kButton, {600, 500}, {10, 220, 100, 30}},
    {"bottom_bar_stretches", ANCHOR_LEFT | ANCHOR_RIGHT | ANCHOR_BOTTOM, kButton, {600, 500}, {10, 220, 300, 30}},
};

class AnchorArrangement : public testing::TestWithParam<AnchorCase> {};

TEST_P(AnchorArrangement, PlacesTheControlForTheNewSize)
{
    const AnchorCase& c = GetParam();
    Host host(c.placed);
    host.anchors.AddAnchor(kControl, c.flags);
    host.ResizeTo(c.hostSize);
    EXPECT_EQ(host.control->geometry(), c.expected);
    EXPECT_FALSE(host.control->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Flags, AnchorArrangement, testing::ValuesIn(kAnchorCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct HideCase {
    const char* name;
    unsigned flags;
    QRect placed;
    QSize tooSmall;
};

const HideCase kHideCases[] = {
    {"reaches_beyond_right_edge", ANCHOR_LEFT | ANCHOR_TOP, kButton, {100, 300}},
    {"reaches_beyond_bottom_edge", ANCHOR_LEFT | ANCHOR_TOP, kButton, {400, 49}},
    {"width_becomes_zero", ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT, kButton, {300, 300}},
    {"width_becomes_negative", ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT, kButton, {250, 300}},
    {"height_becomes_zero", ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM, kList, {400, 30}},
};

class AnchorHiding : public testing::TestWithParam<HideCase> {};

TEST_P(AnchorHiding, HidesWhileTooSmallAndShowsAgainWhenGrown)
{
    const HideCase& c = GetParam();
    Host host(c.placed);
    host.anchors.AddAnchor(kControl, c.flags);

    host.ResizeTo(c.tooSmall);
    EXPECT_TRUE(host.control->isHidden());

    host.ResizeTo({400, 300});
    EXPECT_FALSE(host.control->isHidden());
    EXPECT_EQ(host.control->geometry(), c.placed);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AnchorHiding, testing::ValuesIn(kHideCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AnchorRegistration, IgnoresAnIdTheHostDoesNotHave)
{
    Host host(kButton);
    host.anchors.AddAnchor(kControl + 1, ANCHOR_LEFT | ANCHOR_TOP);
    EXPECT_TRUE(host.anchors.Anchors().isEmpty());
}

TEST(AnchorRegistration, IgnoresControlsBeforeTheHostIsSet)
{
    CAnchorLogic unhosted;
    unhosted.AddAnchor(kControl, ANCHOR_LEFT | ANCHOR_TOP);
    EXPECT_TRUE(unhosted.Anchors().isEmpty());
}

TEST(AnchorRegistration, FindsOnlyDirectChildren)
{
    Host host(kButton);
    auto* group = new QWidget(&host.widget);
    SetControlId(new QWidget(group), kControl + 2);
    host.anchors.AddAnchor(kControl + 2, ANCHOR_LEFT | ANCHOR_TOP);
    EXPECT_TRUE(host.anchors.Anchors().isEmpty());
}

TEST(AnchorArrangementOrder, SkipsAControlDeletedAfterRegistration)
{
    Host host(kButton);
    auto* other = SetControlId(new QWidget(&host.widget), kControl + 3);
    other->setGeometry(kButton);
    host.anchors.AddAnchor(kControl, ANCHOR_TOP | ANCHOR_RIGHT);
    host.anchors.AddAnchor(kControl + 3, ANCHOR_TOP | ANCHOR_RIGHT);
    delete host.control;
    host.ResizeTo({600, 300});
    EXPECT_EQ(other->geometry(), QRect(210, 20, 100, 30));
}

}  // namespace
