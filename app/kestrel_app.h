// The application object: the normal start (splash, the document with its
// main window, then the update check) and the application's own commands:
// About, Help, Open Video Editor and the "update check on start" switch.
// The command-line transfer starts elsewhere (app/command_line_transfer.h).
#pragma once

#include <QObject>
#include <memory>

class CKestrelDoc;
class CMainFrame;
class CStopSignals;
class CSplashScreen;
class CUpdateCheck;

class CKestrelApp final : public QObject {
    Q_OBJECT

public:
    CKestrelApp();
    ~CKestrelApp() override;

    // The start sequence: the main window comes at once, the update check's
    // offer (if any) follows over it. `splash` false skips the splash.
    void InitInstance(bool splash = true);

    // The document and its main window, shown; the last step of the start.
    void CreateMainWindow();

    CKestrelDoc* Document() const { return m_document.get(); }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    bool IsUpdateCheckOn() const { return m_nUpdateCheck != 0; }

    void OnAppAbout();
    void OnOpenVideoEditor();
    // Switches the update check on start; says so when no update server is
    // configured, since then nothing is checked either way.
    void OnUpdateCheckToggle();
    // Opens the user manual with the desktop's viewer; says so when there is
    // none to open.
    void OnHelpContents();
    // The help file: beside the program, its base name with ".chm", else
    // ".pdf"; else the installed manual, "../share/doc/orvex-tavimo/manual.pdf"
    // from the program's folder; else the build tree's "../doc/manual.pdf".
    // Empty when there is none.
    static QString HelpFilePath(const QString& programPath);

private:
    void CreateDocument();
    void StartUpdateCheck();
    // Ends the program when the desktop took a downloaded package.
    void OnUpdateCheckFinished(bool packageOpened);

    int m_nUpdateCheck = 1;
    std::unique_ptr<CSplashScreen> m_splash;
    std::unique_ptr<CUpdateCheck> m_updateCheck;
    std::unique_ptr<CKestrelDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    // SIGTERM (the session ending) or Ctrl+C: stop the transfers and close.
    std::unique_ptr<CStopSignals> m_stopSignals;
};
