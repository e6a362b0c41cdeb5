// The application object: the normal start (update check, splash, the
// document with its main window) and the application's own commands:
// About, Help, Open Video Editor and the "update check on start" switch.
// The command-line transfer starts elsewhere (app/command_line_transfer.h).
#pragma once

#include <QObject>
#include <memory>

class CKestrelDoc;
class CMainFrame;
class CStopSignals;
class CSplashScreen;

class CKestrelApp final : public QObject {
    Q_OBJECT

public:
    CKestrelApp();
    ~CKestrelApp() override;

    // The start sequence; false when the program should end (a downloaded
    // setup is about to replace it). `splash` false skips the splash.
    bool InitInstance(bool splash = true);

    // The document and its main window, shown; the last step of the start.
    void CreateMainWindow();

    CKestrelDoc* Document() const { return m_document.get(); }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    bool IsUpdateCheckOn() const { return m_nUpdateCheck != 0; }

    void OnAppAbout();
    void OnHelpContents();
    void OnOpenVideoEditor();
    void OnUpdateCheckToggle();
    // The help file beside the program: its base name with ".chm", else
    // ".pdf"; empty when there is neither.
    static QString HelpFilePath(const QString& programPath);

private:
    void CreateDocument();

    int m_nUpdateCheck = 1;
    std::unique_ptr<CSplashScreen> m_splash;
    std::unique_ptr<CKestrelDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    // SIGTERM (the session ending) or Ctrl+C: stop the transfers and close.
    std::unique_ptr<CStopSignals> m_stopSignals;
};
