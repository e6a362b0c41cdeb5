#include "services/update_dlg.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <atomic>

#include "res/string_table.h"
#include "services/internet_session.h"
#include "services/program_version.h"
#include "services/settings_store.h"
#include "services/update_manifest.h"
#include "services/update_server.h"
#include "ui/control_id.h"
#include "ui/hyper_link.h"
#include "ui/messages.h"

namespace {
constexpr int IDS_NO_INTERNET = 307;
}  // namespace

CUpdateDlg::CUpdateDlg(QWidget* parent)
    : CBaseDialog(parent),
      m_progressCtrl(SetControlId(new QProgressBar(this), IDC_PROGRESS)),
      m_checkUpdate(SetControlId(new QCheckBox(tr("Check for updates when starting §APPNAME§"), this), IDC_CHECK_UPDATE)),
      m_browserLink(SetControlId(new CHyperLink(tr("Download through browser"), this), IDC_BROWSER_LINK)),
      m_downloadButton(SetControlId(new QPushButton(tr("Download now"), this), IDOK))
{
    setWindowTitle(tr("Update Notification"));
    m_progressCtrl->setRange(0, 100);
    m_progressCtrl->setValue(0);
    auto* cancel = SetControlId(new QPushButton(tr("Cancel"), this), IDCANCEL);
    m_downloadButton->setDefault(true);
    connect(m_downloadButton, &QPushButton::clicked, this, &CUpdateDlg::OnDownloadNow);
    connect(cancel, &QPushButton::clicked, this, &CUpdateDlg::OnCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_downloadButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_progressCtrl);
    layout->addWidget(m_browserLink);
    layout->addWidget(m_checkUpdate);
    layout->addLayout(buttons);
}

// A download still running when the dialog goes is cancelled by m_download.
CUpdateDlg::~CUpdateDlg() = default;

bool CUpdateDlg::CheckForUpdate()
{
    const std::atomic<bool> never{false};
    QByteArray manifest;
    const HRESULT fetched = FetchBytes(ManifestUrl(), manifest, kMaxManifestSize, never);
    return ReadManifest(fetched, manifest);
}

bool CUpdateDlg::ReadManifest(HRESULT fetched, const QByteArray& manifest)
{
    if (FAILED(fetched)) {
        ShowMessage(LoadString(IDS_NO_INTERNET), MessageIcon::Warning);
        return false;
    }
    const UpdateEntry previous{m_strSetupUrl, m_strDate, m_nBuildNumber};
    const auto entry = ReadUpdateManifest(manifest, LoadString(IDS_UPDATE_LANGUAGE), previous);
    if (!entry)
        return false;
    m_strSetupUrl = entry->setupUrl;
    m_strDate = entry->date;
    m_nBuildNumber = entry->buildNumber;
    return ProgramVersion().build < m_nBuildNumber;
}

void CUpdateDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();
    if (m_nBuildNumber == -1)
        CheckForUpdate();
    m_checkUpdate->setChecked(true);
    m_browserLink->SetLink(m_strSetupUrl);
}

void CUpdateDlg::OnDownloadNow()
{
    m_strDownloadPath = QDir(QDir::tempPath()).filePath(QStringLiteral("KestrelUpdate.deb"));
    m_downloadButton->setEnabled(false);
    m_download.Start(m_strSetupUrl, m_strDownloadPath);
    m_nTimer = startTimer(kPollTimer);
}

void CUpdateDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_nTimer)
        return CBaseDialog::timerEvent(event);
    m_progressCtrl->setValue(m_download.Percent());
    if (!m_download.IsDone() && !m_download.HasFailed())
        return;
    killTimer(m_nTimer);
    m_nTimer = 0;
    // The worker is at its end (or stops within one block): its results
    // can be read safely once it is joined.
    m_download.Wait();
    if (m_download.HasFailed()) {
        if (!m_download.ErrorText().isEmpty())
            ShowMessage(m_download.ErrorText(), MessageIcon::Warning);
        done(QDialog::Rejected);
    } else {
        done(QDialog::Accepted);
    }
}

void CUpdateDlg::OnCancel()
{
    WriteUpdateCheckSetting(m_checkUpdate->isChecked() ? 1 : 0);
    if (m_download.IsDownloading())
        m_download.Cancel();
    else
        done(QDialog::Rejected);
}

void CUpdateDlg::reject()
{
    OnCancel();
}
