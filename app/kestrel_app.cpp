#include "app/kestrel_app.h"

#include "app/device_notifier.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/close_app_dlg.h"
#include "app/device_notifier.h"
#include "app/kestrel_doc.h"
#include "app/main_frame.h"
#include "app/power_off_wait_dlg.h"
#include "app/stop_signals.h"
#include "res/program_resources.h"
#include "res/string_table.h"
#include "services/desktop_notification.h"
#include "services/settings_store.h"
#include "services/splash_screen.h"
#include "services/update_check.h"
#include "services/update_server.h"
#include "ui/messages.h"
#include "ui/sibling_programs.h"

namespace {

constexpr int IDS_QUEUE_ENDED = 10120;
constexpr int IDS_QUEUE_ENDED_TALLY = 10121;

}  // namespace

CKestrelApp::CKestrelApp() = default;

// The frame goes before the document it shows; the update check, whose
// dialog the frame holds, before the frame.
CKestrelApp::~CKestrelApp()
{
    m_updateCheck.reset();
    m_stopSignals.reset();
    m_frame.reset();
    m_document.reset();
}

void CKestrelApp::InitInstance(bool splash)
{
    m_nUpdateCheck = ReadUpdateCheckSetting();
    if (splash) {
        m_splash = std::make_unique<CSplashScreen>();
        m_splash->ShowSplash();
    }
    CreateMainWindow();
    if (m_nUpdateCheck)
        StartUpdateCheck();
}

void CKestrelApp::StartUpdateCheck()
{
    m_updateCheck = std::make_unique<CUpdateCheck>(m_frame.get());
    connect(m_updateCheck.get(), &CUpdateCheck::finished, this, &CKestrelApp::OnUpdateCheckFinished);
    m_updateCheck->Start();
}

void CKestrelApp::OnUpdateCheckFinished(bool packageOpened)
{
    m_nUpdateCheck = ReadUpdateCheckSetting();  // the update dialog may have changed it
    if (packageOpened)
        m_frame->close();
}

void CKestrelApp::CreateMainWindow()
{
    InitProgramResources();  // the view's artwork
    CreateDocument();
    m_frame = std::make_unique<CMainFrame>(this, m_document.get());
    TheDeviceNotifier().ListenToDrives();
    m_stopSignals = std::make_unique<CStopSignals>();
    QObject::connect(m_stopSignals.get(), &CStopSignals::StopRequested, m_frame.get(), [this] {
        m_document->StopAll();
        m_frame->close();
    });
    m_frame->show();
}

void CKestrelApp::CreateDocument()
{
    m_document = std::make_unique<CKestrelDoc>();
    m_document->runCloseDialog = [this] {
        CCloseAppDlg dialog(m_frame.get());
        dialog.exec();
        return dialog.Choice();
    };
    m_document->runPowerOffWaitDialog = [this] {
        CPowerOffWaitDlg dialog(m_frame.get(), [this] { return !m_document->PowerOffArmed(); });
        dialog.exec();
    };
    m_document->onQueueEnded = [](const TransferTally& run) {
        ShowDesktopNotification(LoadString(IDS_QUEUE_ENDED),
                                FormatString(IDS_QUEUE_ENDED_TALLY,
                                             {QString::number(run.transferred), QString::number(run.failed)}));
    };
}

void CKestrelApp::OnAppAbout()
{
    CSplashScreen about(m_frame.get());
    about.exec();
}

QString CKestrelApp::HelpFilePath(const QString& programPath)
{
    QFileInfo program(QString(programPath).replace(QLatin1String("Demo."), QLatin1String(".")));
    const QDir folder = program.dir();
    const QString base = folder.filePath(program.completeBaseName());
    // applicationFilePath() has its links resolved, so "../share" is the
    // prefix the program was installed under, even when run through a link.
    const QString candidates[] = {
        base + QLatin1String(".chm"),
        base + QLatin1String(".pdf"),
        QDir::cleanPath(folder.filePath(QLatin1String("../share/doc/orvex-tavimo/manual.pdf"))),
        QDir::cleanPath(folder.filePath(QLatin1String("../doc/manual.pdf"))),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

void CKestrelApp::OnHelpContents()
{
    const QString help = HelpFilePath(QCoreApplication::applicationFilePath());
    if (help.isEmpty()) {
        ShowMessage(QStringLiteral("The user manual of §APPNAME§ was not found. It is installed with the program "
                                   "(share/doc/orvex-tavimo/manual.pdf)."),
                    MessageIcon::Information);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(help)))
        ShowMessage(QStringLiteral("The user manual (%1) could not be opened: the desktop has no program for "
                                   "its type of file.")
                        .arg(QDir::toNativeSeparators(help)),
                    MessageIcon::Warning);
}

void CKestrelApp::OnOpenVideoEditor()
{
    LaunchVideoEditor({});
}

void CKestrelApp::OnUpdateCheckToggle()
{
    m_nUpdateCheck = ToggleUpdateCheckSetting(m_nUpdateCheck);
    if (!HasUpdateServer())
        ShowMessage(QStringLiteral("No update server is configured."), MessageIcon::Information);
}
