#include "ui/context_menu.h"

#include <QMenu>

#include "res/menus.h"
#include "res/string_table.h"

QMenu* LoadContextMenu(int id, QWidget* parent)
{
    const std::vector<MenuEntry>& popups = LoadMenu(id);
    if (popups.empty())
        return nullptr;
    auto* menu = new QMenu(parent);
    for (const MenuEntry& item : popups.front().children) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(ReplaceAppName(QString::fromUtf8(item.text)));
        action->setObjectName(QString::number(item.id));
        action->setData(item.id);
    }
    return menu;
}
