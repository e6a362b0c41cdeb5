// "Update Notification": offers a newer build found on the update server,
// downloads its package (a .deb, saved as KestrelUpdate.deb) into the
// temporary folder with a progress bar, and remembers whether to check again
// at the next start.
//
// The download runs on UpdateDownload's worker thread; the dialog polls its
// progress and flags every 100 ms. User-interface thread only.
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/com/hresult.h"
#include "services/update_download.h"
#include "ui/base_dialog.h"

class CHyperLink;
class QCheckBox;
class QProgressBar;
class QPushButton;

class CUpdateDlg : public CBaseDialog {
    Q_OBJECT

public:
    enum ControlId : int {
        IDOK = 1,
        IDCANCEL = 2,
        IDC_PROGRESS = 1089,
        IDC_CHECK_UPDATE = 1114,
        IDC_BROWSER_LINK = 1123,
    };
    static constexpr int kPollTimer = 100;  // ms, and the timer's id

    explicit CUpdateDlg(QWidget* parent = nullptr);
    ~CUpdateDlg() override;

    // A manifest is a few hundred bytes; the fetch reads no more than this.
    static constexpr qsizetype kMaxManifestSize = 1 << 20;

    // Fetches and reads the manifest (blocks); true when it offers a build
    // newer than this one.
    bool CheckForUpdate();
    // Reads a manifest fetched elsewhere, with the fetch's result; the same
    // answer as CheckForUpdate. A failed fetch gives message 307 and false.
    bool ReadManifest(HRESULT fetched, const QByteArray& manifest);
    // Accepted: the package was downloaded completely to GetDownloadPath().
    QString GetDownloadPath() const { return m_strDownloadPath; }

    int BuildNumber() const { return m_nBuildNumber; }
    QString SetupUrl() const { return m_strSetupUrl; }

protected:
    void OnInitDialog() override;
    void timerEvent(QTimerEvent* event) override;
    // Escape and the close button act as Cancel.
    void reject() override;

private:
    void OnDownloadNow();
    void OnCancel();

    QProgressBar* m_progressCtrl;
    QString m_strSetupUrl;
    QString m_strDate;
    int m_nBuildNumber = -1;
    QString m_strDownloadPath;
    UpdateDownload m_download;
    QCheckBox* m_checkUpdate;
    CHyperLink* m_browserLink;
    QPushButton* m_downloadButton;
    int m_nTimer = 0;
};
