#include "medialist/info_worker.h"

#include <QMetaObject>
#include <QRunnable>
#include <QThreadPool>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

#include "medialist/media_info_cache.h"
#include "res/string_table.h"

// What the worker and its list share: the jobs left, the way back to the
// list (cut by Stop) and whether the worker still runs.
struct CInfoWorker::Shared {
    std::vector<InfoJob> jobs;
    std::mutex mutex;
    QObject* receiver = nullptr;  // null once stopped; the list stops before it goes
    Delivery deliver;
    bool running = true;

    bool Stopped()
    {
        std::lock_guard lock(mutex);
        return receiver == nullptr;
    }
};

namespace {

// Lowest priority, as the rows are a courtesy and conversions must not wait.
// On Linux the nice value is per thread and threads made later inherit it.
void LowerThisThreadsPriority()
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

// One file, read on a thread of its own so that a read which never returns
// holds up only itself.
struct ReadOutcome {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<InfoResult> result;
};

InfoResult ReadWithinBound(const InfoJob& job)
{
    auto outcome = std::make_shared<ReadOutcome>();
    std::thread reader([outcome, item = job.item, rowId = job.rowId]() mutable {
        QString text;
        ReadMediaInfo(item, text);
        std::lock_guard lock(outcome->mutex);
        outcome->result = InfoResult{rowId, item.m_image, text};
        outcome->done.notify_one();
    });
    reader.detach();
    std::unique_lock lock(outcome->mutex);
    if (outcome->done.wait_for(lock, kInfoReadBound, [&] { return outcome->result.has_value(); }))
        return *outcome->result;
    return InfoResult{job.rowId, job.item.m_image, FormatInfoText(226, job.item)};
}

void Deliver(CInfoWorker::Shared& shared, InfoResult result)
{
    std::lock_guard lock(shared.mutex);
    if (!shared.receiver)
        return;
    // Queued to the list's thread; Qt drops it if the list is deleted first.
    QMetaObject::invokeMethod(
        shared.receiver,
        [deliver = shared.deliver, result = std::move(result)] { deliver(result); }, Qt::QueuedConnection);
}

class InfoRun final : public QRunnable {
public:
    explicit InfoRun(std::shared_ptr<CInfoWorker::Shared> shared) : m_shared(std::move(shared)) {}

    void run() override
    {
        LowerThisThreadsPriority();
        for (const InfoJob& job : m_shared->jobs) {
            if (m_shared->Stopped())
                break;
            Deliver(*m_shared, ReadWithinBound(job));
        }
        std::lock_guard lock(m_shared->mutex);
        m_shared->running = false;
    }

private:
    std::shared_ptr<CInfoWorker::Shared> m_shared;
};

QThreadPool& InfoThreads()
{
    static QThreadPool pool;
    return pool;
}

}  // namespace

CInfoWorker::CInfoWorker(std::vector<InfoJob> jobs, QObject* receiver, Delivery deliver)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->jobs = std::move(jobs);
    m_shared->receiver = receiver;
    m_shared->deliver = std::move(deliver);
    // One thread per list at most is busy; a stopped worker still reading
    // its last file must not hold up the next listing.
    InfoThreads().setMaxThreadCount(std::max(InfoThreads().maxThreadCount(), 8));
    InfoThreads().start(new InfoRun(m_shared));
}

CInfoWorker::~CInfoWorker()
{
    Stop();
}

void CInfoWorker::Stop()
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->receiver = nullptr;
}

bool CInfoWorker::IsRunning() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->running && m_shared->receiver;
}

void CInfoWorker::WaitForAll()
{
    InfoThreads().waitForDone();
}
