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
#include "services/settings_store.h"
#include "services/splash_screen.h"
#include "services/update_check.h"
#include "services/update_server.h"
#include "ui/messages.h"
#include "ui/sibling_programs.h"

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
        CPowerOffWaitDlg dialog(m_frame.get());
        dialog.exec();
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
    const QString base = program.dir().filePath(program.completeBaseName());
    for (const char* extension : {".chm", ".pdf"}) {
        if (QFileInfo::exists(base + QLatin1String(extension)))
            return base + QLatin1String(extension);
    }
    return {};
}

void CKestrelApp::OnHelpContents()
{
    const QString help = HelpFilePath(QCoreApplication::applicationFilePath());
    if (!help.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(help));
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
