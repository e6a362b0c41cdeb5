#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>

#include "app/device_notifier.h"
#include "app/kestrel_app.h"
#include "app/kestrel_doc.h"
#include "app/kestrel_view.h"
#include "app/task_list_dlg.h"
#include "res/menus.h"
#include "res/string_table.h"
#include "ui/messages.h"

CMainFrame::CMainFrame(CKestrelApp* app, CKestrelDoc* document, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_pDoc(document), m_view(new CKestrelView(document, this))
{
    setWindowTitle(AppName());
    setCentralWidget(m_view);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    BuildMenus();
    resize(1000, 700 + menuBar()->sizeHint().height());
    connect(&TheDeviceNotifier(), &CDeviceNotifier::deviceChange, this, &CMainFrame::OnDeviceChange);
    SetErrorDialogOwner(this);
}

void CMainFrame::BuildMenus()
{
    for (const MenuEntry& popup : LoadMenu(IDR_MAINFRAME)) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(popup.text));
        for (const MenuEntry& item : popup.children)
            AddMenuItem(menu, item);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { OnShowPopupMenu(menu); });
    }
}

void CMainFrame::AddMenuItem(QMenu* menu, const MenuEntry& item)
{
    if (item.id == 0) {
        menu->addSeparator();
        return;
    }
    // "text\taccelerator": the accelerator becomes the action's shortcut.
    const QStringList parts = QString::fromUtf8(item.text).split(u'\t');
    QAction* action = menu->addAction(parts.first());
    action->setObjectName(QString::number(item.id));
    if (parts.size() > 1)
        action->setShortcut(QKeySequence(parts.last()));
    action->setCheckable(item.id == ID_CHECK_UPDATES_ON_START);
    connect(action, &QAction::triggered, this, [this, command = item.id] { OnCommand(command); });
}

void CMainFrame::OnShowPopupMenu(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        action->setText(ReplaceAppName(action->text()));
        const int command = action->objectName().toInt();
        if (command == ID_POWER_OFF_WHEN_FINISHED)
            action->setEnabled(m_pDoc->CurrentTask() != nullptr);
        else if (command == ID_CHECK_UPDATES_ON_START)
            action->setChecked(m_app->IsUpdateCheckOn());
    }
}

void CMainFrame::OnCommand(int command)
{
    switch (command) {
    case ID_APP_EXIT:
        close();
        break;
    case ID_APP_ABOUT:
        m_app->OnAppAbout();
        break;
    case ID_HELP_CONTENTS:
        m_app->OnHelpContents();
        break;
    case ID_OPEN_VIDEO_EDITOR:
        m_app->OnOpenVideoEditor();
        break;
    case ID_CHECK_UPDATES_ON_START:
        m_app->OnUpdateCheckToggle();
        break;
    case ID_POWER_OFF_WHEN_FINISHED:
        if (m_pDoc->CurrentTask())
            m_pDoc->PowerOffWhenFinished();
        break;
    case ID_SHOW_TASK_LIST: {
        CTaskListDlg dialog(m_pDoc, false, this);
        dialog.exec();
        break;
    }
    default:
        break;
    }
}

void CMainFrame::OnDeviceChange(int event)
{
    if (event == CDeviceNotifier::DeviceArrival)
        m_pDoc->Broadcast(EVENT_DEVICE_ARRIVED, nullptr);
    else if (event == CDeviceNotifier::DeviceRemoveComplete)
        m_pDoc->Broadcast(EVENT_DEVICE_REMOVED, nullptr);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_pDoc->SaveModified())
        event->accept();
    else
        event->ignore();
}
