// The media list's info worker: reads the details and thumbnails of a
// listing's rows on a low-priority thread, one file after another, and
// hands each finished picture and text to the window thread by row id.
//
// The worker reads copies of the rows, never the rows themselves, so a list
// may clear or re-list its rows at any time. Stop() never waits: it cuts the
// worker off from the list (nothing it finishes afterwards arrives) and the
// worker ends after the file at hand. A file that keeps the reader longer
// than kInfoReadBound (a stalled network mount) shows "Unknown format" and
// the worker goes on; the reader is left to finish alone.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "medialist/media_item.h"

inline constexpr std::chrono::seconds kInfoReadBound{5};

struct InfoJob {
    quint64 rowId = 0;
    CMediaItem item;
};

struct InfoResult {
    quint64 rowId = 0;
    CBitmapImage picture;
    QString text;
};

class CInfoWorker {
public:
    using Delivery = std::function<void(const InfoResult&)>;

    // Starts reading at once. `deliver` runs on the thread of `receiver`
    // (the list), never after Stop() or after the receiver is gone.
    CInfoWorker(std::vector<InfoJob> jobs, QObject* receiver, Delivery deliver);
    ~CInfoWorker();  // stops
    CInfoWorker(const CInfoWorker&) = delete;
    CInfoWorker& operator=(const CInfoWorker&) = delete;

    void Stop();
    // Whether rows are still being read.
    bool IsRunning() const;

    // Waits until every worker of the process has ended; for the end of
    // the program and for tests.
    static void WaitForAll();

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};
