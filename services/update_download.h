// The update dialog's download: one worker thread fetches the setup program
// into a file while the dialog polls its progress and flags.
//
// The worker writes `received`, `size`, `done` and (on an error) `failed`;
// the dialog reads them and writes `failed` to cancel. No locks: each is an
// atomic with one writer per meaning. ErrorText is read only after Wait().
#pragma once

#include <QString>
#include <atomic>
#include <thread>

class UpdateDownload {
public:
    static constexpr int kBlockSize = 4096;

    UpdateDownload() = default;
    // Cancels a running download and waits for its thread.
    ~UpdateDownload();
    UpdateDownload(const UpdateDownload&) = delete;
    UpdateDownload& operator=(const UpdateDownload&) = delete;

    // Sets downloading, clears done and failed, and starts the worker, which
    // writes the body of `url` to a temporary file beside `path` and renames
    // it to `path` once complete. A cancelled or failed download leaves
    // neither file (an earlier file at `path` stays as it was).
    void Start(const QString& url, const QString& path);
    // Asks the worker to stop after its current block; it then removes its
    // file and sets done.
    void Cancel() { m_bFailed = true; }
    // Waits for the worker to end.
    void Wait();

    bool IsDownloading() const { return m_bDownloading; }
    bool IsDone() const { return m_bDone; }
    bool HasFailed() const { return m_bFailed; }
    qint64 Size() const { return m_nSize; }
    qint64 Received() const { return m_nReceived; }
    // received x 100 / size (0 before the size is known).
    int Percent() const;
    // After Wait(): what went wrong, for the user; empty after a cancel or
    // a response without a content length.
    QString ErrorText() const { return m_strError; }

private:
    void Run();
    void Fail(const QString& reason);

    QString m_strUrl;
    QString m_strPath;
    QString m_strError;
    std::atomic<bool> m_bFailed{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<bool> m_bDownloading{false};
    std::atomic<qint64> m_nSize{0};
    std::atomic<qint64> m_nReceived{0};
    std::thread m_thread;
};
