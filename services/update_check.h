// The update check at start-up. Without an update server (update_server.h)
// it does nothing at all: no connection, no message. With one, the manifest
// is fetched on a worker thread, so the main window never waits for the
// network; when the manifest is in, a newer build is offered in the update
// dialog over the window, and the downloaded package (a .deb) is handed to
// the desktop's installer. Without a display nobody could answer the
// dialog, so a newer build is not offered there.
//
// User-interface thread only; the worker touches only the fetch's result,
// which is read after it has been joined.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <thread>

#include "platform/com/hresult.h"

class CUpdateDlg;
class QWidget;

// Checks that `path` holds a Debian package and hands it to the desktop
// (package_opener.h); true when the desktop took it. Otherwise a message
// says why, and a file that is no package is removed.
bool InstallUpdate(const QString& path);

class CUpdateCheck final : public QObject {
    Q_OBJECT

public:
    // `window` is the update dialog's parent.
    explicit CUpdateCheck(QWidget* window = nullptr);
    // Stops a fetch still under way and waits for its thread.
    ~CUpdateCheck() override;
    CUpdateCheck(const CUpdateCheck&) = delete;
    CUpdateCheck& operator=(const CUpdateCheck&) = delete;

    // Starts the fetch and returns at once; false, and nothing happens,
    // without an update server. Called once.
    bool Start();

signals:
    // The check is over. `packageOpened`: the desktop took the downloaded
    // package, so the program should end and let it replace this build.
    void finished(bool packageOpened);

private:
    void OnManifest();
    void OnOfferAnswered(int result);

    QPointer<QWidget> m_window;
    QPointer<CUpdateDlg> m_dialog;
    HRESULT m_hrFetch = E_FAIL;
    QByteArray m_manifest;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};
