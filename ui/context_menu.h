// Context menus from the program's menu resources.
#pragma once

class QMenu;
class QWidget;

// The first popup of menu resource `id` as a QMenu owned by `parent`; each
// action carries its command id as object name and in its data. Null for an
// id that is no menu.
QMenu* LoadContextMenu(int id, QWidget* parent);
