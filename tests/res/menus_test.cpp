// The main menu and the context menus carry the commands and texts the
// frame, the media list and the DVD page dispatch on.
#include <gtest/gtest.h>

#include <QSet>
#include <QString>

#include "res/menus.h"
#include "res/string_table.h"

namespace {

struct ItemCase {
    int menu;
    int popup;
    const char* popupText;
    int item;
    int command;
    const char* text;
};

void PrintTo(const ItemCase& item, std::ostream* out)
{
    *out << "menu " << item.menu << " command " << item.command;
}

class MenuItem : public testing::TestWithParam<ItemCase> {};

TEST_P(MenuItem, HasItsCommandAndText)
{
    const ItemCase& expected = GetParam();
    const std::vector<MenuEntry>& menu = LoadMenu(expected.menu);
    ASSERT_LT(size_t(expected.popup), menu.size());
    const MenuEntry& popup = menu[size_t(expected.popup)];
    EXPECT_EQ(QString::fromUtf8(popup.text), QString::fromUtf8(expected.popupText));
    ASSERT_LT(size_t(expected.item), popup.children.size());
    const MenuEntry& item = popup.children[size_t(expected.item)];
    EXPECT_EQ(item.id, expected.command);
    EXPECT_EQ(QString::fromUtf8(item.text), QString::fromUtf8(expected.text));
    EXPECT_TRUE(item.children.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuItem,
    testing::Values(ItemCase{128, 0, "&File", 0, 57665, "E&xit"},
                    ItemCase{128, 1, "&Extras", 0, 32772, "Open &Video Editor..."},
                    ItemCase{128, 1, "&Extras", 1, 32789, "Show List of Active &Tasks..."},
                    ItemCase{128, 1, "&Extras", 2, 32777, "Turn &Off Computer when Finished..."},
                    ItemCase{128, 2, "&Help", 0, 57666, "&Help Contents...\tF1"},
                    ItemCase{128, 2, "&Help", 1, 32798, "Check for &Updates on Start"},
                    ItemCase{128, 2, "&Help", 2, 57664, "&About §APPNAME§..."},
                    ItemCase{348, 0, "Media List", 0, 32784, "&Play..."},
                    ItemCase{348, 0, "Media List", 1, 32788, "Open in Video Editor..."},
                    ItemCase{348, 0, "Media List", 2, 32785, "&Rename..."},
                    ItemCase{348, 0, "Media List", 3, 32786, "&Delete..."},
                    ItemCase{348, 0, "Media List", 4, 32787, "Show &Properties..."},
                    ItemCase{349, 0, "DVD Title List", 0, 32787, "Show &Properties..."},
                    ItemCase{119, 0, "Edit", 0, 57635, "Cu&t\tCtrl+X"}));

TEST(Menus, HoldNothingBeyondTheirItems)
{
    const std::pair<int, std::vector<size_t>> shapes[] = {{128, {1, 3, 3}}, {348, {5}}, {349, {1}}, {119, {3}}};
    for (const auto& [id, counts] : shapes) {
        const std::vector<MenuEntry>& menu = LoadMenu(id);
        ASSERT_EQ(menu.size(), counts.size()) << "menu " << id;
        for (size_t popup = 0; popup < counts.size(); ++popup) {
            EXPECT_EQ(menu[popup].id, 0) << "menu " << id;
            EXPECT_EQ(menu[popup].children.size(), counts[popup]) << "menu " << id << " popup " << popup;
        }
    }
}

TEST(Menus, MainMenuCommandsAreDistinct)
{
    QSet<int> commands;
    int items = 0;
    for (const MenuEntry& popup : LoadMenu(IDR_MAINFRAME))
        for (const MenuEntry& item : popup.children) {
            commands.insert(item.id);
            ++items;
        }
    EXPECT_EQ(commands.size(), items);
}

TEST(Menus, AboutItemNamesTheApplication)
{
    const MenuEntry& about = LoadMenu(IDR_MAINFRAME)[2].children[2];
    EXPECT_EQ(ReplaceAppName(QString::fromUtf8(about.text)), QStringLiteral("&About Orvex Tavimo..."));
}

TEST(Menus, UnknownIdIsEmpty)
{
    EXPECT_TRUE(LoadMenu(129).empty());
}

}  // namespace
