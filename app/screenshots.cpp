#include "app/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/kestrel_app.h"
#include "app/kestrel_view.h"
#include "app/main_frame.h"
#include "app/task_list_dlg.h"
#include "res/string_table.h"
#include "services/splash_screen.h"
#include "services/update_dlg.h"
#include "targets/computer_tgt_dev.h"
#include "medialist/media_list_ctrl.h"
#include "medialist/properties_dlg.h"
#include "targets/format_dlg.h"
#include "targets/target_handler.h"
#include "ui/error_dialog.h"

namespace {

bool Save(QWidget& widget, const QDir& folder, const char* name)
{
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(folder.filePath(QLatin1String(name)));
    widget.hide();
    return saved;
}

// The pages list their folders at once and their details a moment later.
void WaitForListedDetails(QWidget& view)
{
    QElapsedTimer waited;
    waited.start();
    const auto reading = [&view] {
        for (const CMediaListCtrl* list : view.findChildren<CMediaListCtrl*>()) {
            if (list->isVisible() && list->IsInfoWorkerRunning())
                return true;
        }
        return false;
    };
    do
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    while (reading() && waited.elapsed() < 20000);
}

constexpr int IDS_TIME_ELAPSED = 10110;

// The panel's third line tells the time left rather than the time elapsed.
bool ShowsTimeLeft(const CStatusPanel& panel)
{
    const QString times = panel.Text().section(u'\n', 2);
    return !times.isEmpty() && !times.endsWith(FormatString(IDS_TIME_ELAPSED, {QString()}));
}

// A real transfer of the clips in the videos folder into a throw-away
// folder, caught once its pace is known.
bool SaveRunningTransfer(CKestrelDoc& document, CKestrelView& view, const QDir& folder)
{
    QTemporaryDir output;
    auto* computer = static_cast<CComputerTgtDev*>(document.FindDevice(LoadString(IDS_MY_COMPUTER), DIRECTION_TARGET));
    if (!output.isValid() || !computer)
        return false;
    computer->SetOutputFolder(output.path());
    const QDir videos(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
    QStringList clips;
    for (const QFileInfo& clip : videos.entryInfoList({"*.mp4", "*.avi", "*.mkv"}, QDir::Files, QDir::Name))
        clips << clip.absoluteFilePath();
    document.TransferFromCommandLine(computer, clips);
    QElapsedTimer waited;
    waited.start();
    do
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    while (!ShowsTimeLeft(view.Panel()) && document.CurrentTask() && waited.elapsed() < 60000);
    const bool saved = view.grab().save(folder.filePath(QStringLiteral("status_panel.png")));
    document.StopAll();
    view.PollQueue();
    return saved;
}

}  // namespace

int SaveScreenshots(const QString& path)
{
    const QDir folder(path);
    if (!QDir().mkpath(path))
        return 1;
    CKestrelApp app;
    app.InitInstance(false);  // the start a user sees, update check included
    CMainFrame& frame = *app.MainFrame();
    bool saved = Save(frame, folder, "main_window.png");

    frame.show();
    CKestrelView& view = *frame.View();
    WaitForListedDetails(view);
    saved &= Save(frame, folder, "computer_source_page.png");
    frame.show();
    for (int tab = 0; tab < view.TargetTabs().TabCount(); ++tab) {
        view.TargetTabs().SetSelection(tab);
        view.LayoutPages();
        WaitForListedDetails(view);
        saved &= view.grab().save(folder.filePath(QStringLiteral("target_page_%1.png").arg(tab)));
    }
    view.TargetTabs().SetSelection(0);
    view.LayoutPages();
    saved &= SaveRunningTransfer(*app.Document(), view, folder);

    CTaskListDlg taskList(app.Document(), false, &frame);
    saved &= Save(taskList, folder, "task_list.png");
    CErrorDialog* error = new CErrorDialog(LoadString(IDS_TRANSFER_ERROR), &frame);
    saved &= Save(*error, folder, "error_dialog.png");
    CSplashScreen about(&frame);
    saved &= Save(about, folder, "about_box.png");
    CUpdateDlg update(&frame);
    saved &= Save(update, folder, "update_dialog.png");
    CPropertiesDlg properties(&frame);
    for (const auto& [name, value] : {std::pair{266, "24.11.2026"}, {275, "Yes"}, {269, "1280"}, {270, "720"},
                                      {271, "83.20"}, {400, "25.00"}, {276, "Yes"}, {272, "48000"}, {273, "2"}, {274, "16"}})
        properties.AddProperty(LoadString(name), QString::fromLatin1(value));
    saved &= Save(properties, folder, "properties_dialog.png");
    CTargetHandlerList handlers;
    CFormatDlg format(handlers.Handlers().first(), &frame);  // MPEG-4
    saved &= Save(format, folder, "format_dialog.png");
    return saved ? 0 : 1;
}
