#include "services/update_check.h"

#include <QFile>

#include "services/internet_session.h"
#include "services/package_opener.h"
#include "services/update_dlg.h"
#include "services/update_server.h"
#include "ui/messages.h"

namespace {

// Every Debian package is an ar archive whose first member is "debian-binary".
constexpr char kDebianPackageStart[] = "!<arch>\ndebian-binary";

bool IsDebianPackage(const QString& path)
{
    const QByteArray start(kDebianPackageStart);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(start.size()) == start;
}

}  // namespace

bool InstallUpdate(const QString& path)
{
    if (!IsDebianPackage(path)) {
        // Whatever the server sent instead should not be opened later either.
        QFile::remove(path);
        ShowMessage(QStringLiteral("The downloaded update is not a Debian package."), MessageIcon::Warning);
        return false;
    }
    if (OpenPackage(path))
        return true;
    ShowMessage(QStringLiteral("The desktop could not open the downloaded update. It is saved as \"%1\".").arg(path),
                MessageIcon::Warning);
    return false;
}

CUpdateCheck::CUpdateCheck(QWidget* window) : m_window(window) {}

CUpdateCheck::~CUpdateCheck()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    delete m_dialog.data();  // null when its parent window has already gone
}

bool CUpdateCheck::Start()
{
    const QString url = ManifestUrl();
    if (url.isEmpty())
        return false;
    m_thread = std::thread([this, url] {
        m_hrFetch = FetchBytes(url, m_manifest, CUpdateDlg::kMaxManifestSize, m_bStop);
        QMetaObject::invokeMethod(this, &CUpdateCheck::OnManifest, Qt::QueuedConnection);
    });
    return true;
}

void CUpdateCheck::OnManifest()
{
    m_thread.join();
    m_dialog = new CUpdateDlg(m_window);
    if (!m_dialog->ReadManifest(m_hrFetch, m_manifest) || !HasDisplay()) {
        emit finished(false);
        return;
    }
    connect(m_dialog, &QDialog::finished, this, &CUpdateCheck::OnOfferAnswered);
    m_dialog->open();
}

void CUpdateCheck::OnOfferAnswered(int result)
{
    emit finished(result == QDialog::Accepted && InstallUpdate(m_dialog->GetDownloadPath()));
}
