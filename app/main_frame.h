// The main window: a menu bar around the view. It asks the document before
// it closes, turns drive arrival and removal notices into the document's
// broadcasts, and fills in the application name and the items' states
// before a menu opens.
#pragma once

#include <QMainWindow>

class CKestrelApp;
class CKestrelDoc;
class CKestrelView;
class QMenu;
struct MenuEntry;

class CMainFrame final : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kMinimumWidth = 800;
    static constexpr int kMinimumHeight = 560;

    CMainFrame(CKestrelApp* app, CKestrelDoc* document, QWidget* parent = nullptr);

    CKestrelView* View() const { return m_view; }
    // Runs a menu command (res/menus.h) as if its item had been chosen;
    // each menu item carries its command id as object name.
    void OnCommand(int command);

public slots:
    // Arrival and removal notices (CDeviceNotifier::Event); others are ignored.
    void OnDeviceChange(int event);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void AddMenuItem(QMenu* menu, const MenuEntry& item);
    void OnShowPopupMenu(QMenu* menu);

    CKestrelApp* m_app;
    CKestrelDoc* m_pDoc;
    CKestrelView* m_view;
};
