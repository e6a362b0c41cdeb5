#include "services/update_download.h"

#include <QFile>
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
    QFile file(m_strPath);
    // Unbuffered: what has arrived is on disk, also when the download stops.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
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
                return;
            }
            m_nReceived += block;
        }
    };
    const HRESULT hr = ReceiveUrl(m_strUrl, onHeaders, onData, m_bFailed);
    file.close();
    if (!writeError.isEmpty())
        Fail(writeError);
    else if (!hasLength)
        m_bFailed = true;
    else if (SUCCEEDED(hr) || hr == E_ABORT)
        m_bDone = true;
    else
        Fail(InternetErrorText(hr));
}
