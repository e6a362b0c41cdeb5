#include "services/update_download.h"

#include <QSaveFile>
#include <algorithm>

#include "services/internet_session.h"

UpdateDownload::~UpdateDownload()
{
    Cancel();
    Wait();
}

void UpdateDownload::Start(const QString& url, const QString& path)
{
    Wait();
    m_strUrl = url;
    m_strPath = path;
    m_strError.clear();
    m_nSize = 0;
    m_nReceived = 0;
    m_bDownloading = true;
    m_bDone = false;
    m_bFailed = false;
    m_thread = std::thread([this] { Run(); });
}

void UpdateDownload::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

int UpdateDownload::Percent() const
{
    const qint64 size = m_nSize;
    return size > 0 ? static_cast<int>(m_nReceived * 100 / size) : 0;
}

void UpdateDownload::Fail(const QString& reason)
{
    m_strError = reason;
    m_bFailed = true;
}

void UpdateDownload::Run()
{
    // The package is written under a temporary name beside `m_strPath` and
    // renamed only once it is complete: a half file opened later is unsafe.
    // Without a commit, QSaveFile removes what it wrote.
    QSaveFile file(m_strPath);
    if (!file.open(QIODevice::WriteOnly)) {
        Fail(file.errorString());
        return;
    }
    bool hasLength = true;
    QString writeError;
    const auto onHeaders = [&](std::optional<qint64> length) {
        hasLength = length.has_value();
        // Small files still count as one full block, so the bar never divides by zero.
        m_nSize = std::max<qint64>(length.value_or(0), kBlockSize);
        return hasLength;
    };
    const auto onData = [&](const char* data, qsizetype size) {
        for (qsizetype offset = 0; offset < size && !m_bFailed; offset += kBlockSize) {
            const qsizetype block = std::min<qsizetype>(kBlockSize, size - offset);
            if (file.write(data + offset, block) != block) {
                writeError = file.errorString();
                m_bFailed = true;
                break;
            }
            m_nReceived += block;
        }
        return !m_bFailed;
    };
    const HRESULT hr = ReceiveUrl(m_strUrl, onHeaders, onData, m_bFailed);
    if (!writeError.isEmpty())
        Fail(writeError);
    else if (!hasLength)
        m_bFailed = true;
    else if (FAILED(hr) && hr != E_ABORT)
        Fail(InternetErrorText(hr));
    else if (!m_bFailed && !file.commit())
        Fail(file.errorString());
    else
        m_bDone = true;  // complete, or cancelled and discarded
}
