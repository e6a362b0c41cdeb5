// Soak of the transfer queue: 200 items go through the document's queue
// (CKestrelDoc, polled every 100 ms as the main view and the task list poll
// it) from the computer source to the computer target as MP4, and every
// fifth item, a longer clip, is aborted part-way through the way the
// window's Abort does it (CKestrelDoc::AbortCurrentTask). Items are added
// while the queue runs, so it always holds the same few waiting items and
// every reading sees the document in the same state.
//
// Readings: resident memory (VmRSS, as found and once the allocator has
// handed its free pages back), malloc's bytes in use, threads
// (/proc/self/task) and open file descriptors (/proc/self/fd) before the
// first item, at the moment each aborted item is gone and before the next
// one starts (no graph alive then), and once the queue is empty. A watchdog fails the run when no item
// ends for 60 s. After the readings, ffprobe checks a sample of the outputs.
//
// Usage: queue_soak [items]   (a multiple of 20, at least 40; 200 by default)
// bench/soak_queue builds and runs it. Exits 0 on PASS, 1 on FAIL, 2 on a
// bad argument or when ffmpeg cannot make the clips. Clips, outputs, home
// and settings live in temporary folders removed at the end.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>
#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cctype>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/kestrel_doc.h"
#include "app/media_engine.h"
#include "pipeline/transcode_task.h"
#include "platform/power/power_control.h"
#include "sources/computer/computer_src_dev.h"
#include "targets/computer_tgt_dev.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tests/support/temp_home.h"
#include "ui/document_events.h"
#include "ui/messages.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultItems = 200;
constexpr int kWarmUpItems = 20;
constexpr int kReadingEvery = 20;  // rows of the table after the warm-up
constexpr int kAbortEvery = 5;     // the 5th, 10th, ... item is aborted
// Readings are taken when an aborted item is gone, so they must fall on one.
static_assert(kWarmUpItems % kAbortEvery == 0 && kReadingEvery % kAbortEvery == 0);
constexpr size_t kWaiting = 8;  // items kept waiting behind the running one
constexpr int kPollMs = 100;    // as the main view and the task list poll
constexpr auto kStuckLimit = std::chrono::seconds(60);
// RSS check: the lowest trimmed RSS of the 20 items after the warm-up
// against that of the last 20. Runs of 200 and 1000 items moved it by -0.1
// to +1.2 MB, while single readings sit up to 5 MB above it (pages the
// allocator cannot hand back yet). A leak of 25 KB per item, a quarter of
// one 320x240 frame, would lift it past the limit within 160 items.
constexpr double kRssGrowthLimitMb = 4;
// Heap check: malloc's bytes in use after the warm-up against the last
// reading with as many items waiting. They grew by 12 to 22 KB, all of it
// by item 100 (first-use allocations), and stayed flat to item 1000; a leak
// of 400 bytes per item, one small object, passes this within 160 items.
constexpr double kHeapGrowthLimitKb = 64;
constexpr int kProbeEvery = 5;  // every 5th transferred output, and the last
constexpr double kClipSeconds = 1.5;
constexpr int kLongClipSeconds = 30;
constexpr double kDurationSlack = 0.25;
constexpr int kWidth = 320, kHeight = 240, kSampleRate = 44100, kChannels = 2;
// How far each aborted item gets, in turn, before it is aborted.
const double kAbortPoints[] = {0.1, 0.3, 0.5, 0.7};

struct Kind {
    const char* extension;
    const char* codecs;
};

constexpr const char* kH264 = "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac";
// The items that run to the end take these in turn; the aborted ones the long ones.
const Kind kShortKinds[] = {{"mp4", kH264},
                            {"avi", "-c:v mpeg4 -c:a libmp3lame"},
                            {"wmv", "-c:v wmv2 -c:a wmav2"},
                            {"mpg", "-c:v mpeg2video -c:a mp2"}};
const Kind kLongKinds[] = {{"mp4", kH264}, {"avi", "-c:v mpeg4 -c:a libmp3lame"}};

std::string ClipName(const Kind& kind, bool isLong)
{
    return std::string(isLong ? "long." : "short.") + kind.extension;
}

bool MakeClip(const fs::path& folder, const Kind& kind, bool isLong)
{
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%g", isLong ? double(kLongClipSeconds) : kClipSeconds);
    const std::string arguments = "-f lavfi -i testsrc=size=" + std::to_string(kWidth) + "x" +
                                  std::to_string(kHeight) + ":rate=25 -f lavfi -i sine=frequency=440:sample_rate=" +
                                  std::to_string(kSampleRate) + " -t " + seconds + " -ac " +
                                  std::to_string(kChannels) + " " + kind.codecs;
    return testing_media::MakeMedia((folder / ClipName(kind, isLong)).string(), arguments);
}

// ---- What the process holds, from /proc ----

long StatusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    const std::string wanted = std::string(key) + ":";
    for (std::string line; std::getline(status, line);)
        if (line.rfind(wanted, 0) == 0) return std::atol(line.c_str() + wanted.size());
    return -1;
}

std::string FirstLine(const fs::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// One name per thread (its comm).
std::vector<std::string> ThreadNames()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/task", error))
        names.push_back(FirstLine(entry.path() / "comm"));
    std::sort(names.begin(), names.end());
    return names;
}

// "socket:[1234]" without its inode number, so the same kind of file compares equal.
std::string KindOfTarget(const std::string& target)
{
    const auto bracket = target.find(":[");
    if (bracket == std::string::npos || !std::isdigit(static_cast<unsigned char>(target[bracket + 2]))) return target;
    return target.substr(0, bracket);
}

// What each open descriptor points to, without the one this listing uses.
std::vector<std::string> OpenFiles()
{
    std::vector<std::string> targets;
    DIR* listing = ::opendir("/proc/self/fd");
    if (!listing) return targets;
    const int own = ::dirfd(listing);
    while (const dirent* entry = ::readdir(listing)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own) continue;
        char target[4096];
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
        targets.push_back(KindOfTarget(length > 0 ? std::string(target, size_t(length)) : "?"));
    }
    ::closedir(listing);
    std::sort(targets.begin(), targets.end());
    return targets;
}

// "a, b x2" for the names in `after` that `before` lacks (both sorted).
std::string Added(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    std::map<std::string, int> counts;
    for (const std::string& name : added) ++counts[name];
    std::string text;
    for (const auto& [name, count] : counts)
        text += (text.empty() ? "" : ", ") + name + (count > 1 ? " x" + std::to_string(count) : "");
    return text.empty() ? "none" : text;
}

struct Reading {
    int items = 0;  // ended so far
    double seconds = 0;
    long rssKb = 0;
    long liveKb = 0;        // after the allocator gave its free pages back
    size_t heapBytes = 0;   // what malloc has handed out and not had back
    size_t threadCount = 0, fileCount = 0;
    std::vector<std::string> threads, files;  // kept for a few readings only
};

// The allocator keeps freed memory in its arenas as it pleases, which moves
// RSS by several MB from one reading to the next; trimmed, what is left is
// close to what the process still uses. The bytes in use are exact, so a
// leak of a few hundred bytes per item shows there.
Reading Read(int items, Clock::time_point start)
{
    const struct mallinfo2 heap = ::mallinfo2();
    Reading reading;
    reading.items = items;
    reading.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    reading.heapBytes = heap.uordblks + heap.hblkhd;
    reading.rssKb = StatusKb("VmRSS");
    reading.threads = ThreadNames();
    reading.files = OpenFiles();
    reading.threadCount = reading.threads.size();
    reading.fileCount = reading.files.size();
    ::malloc_trim(0);
    reading.liveKb = StatusKb("VmRSS");
    return reading;
}

// ---- Stand-ins: nothing is shown, no sleep inhibitor is taken, nothing is turned off ----

class CountingPresenter final : public MessagePresenter {
public:
    CountingPresenter() : m_scope(*this) {}
    void ShowMessageBox(const QString& text, MessageIcon) override { messages << text; }
    void ShowErrorDialog(const QString& text) override { messages << text; }
    bool AskYesNo(const QString& text, MessageIcon) override
    {
        messages << text;
        return false;
    }

    QStringList messages;

private:
    ScopedMessagePresenter m_scope;
};

class IdlePower final : public PowerControl {
public:
    IdlePower() : m_scope(*this) {}
    void KeepAwake(bool on) override
    {
        awake = on;
        everAwake = everAwake || on;
    }
    bool PowerOff() override
    {
        ++powerOffs;
        return false;
    }

    bool awake = false, everAwake = false;
    int powerOffs = 0;

private:
    ScopedPowerControl m_scope;
};

// ---- The watchdog: a queue that stops moving ends the run ----

class Watchdog {
public:
    explicit Watchdog(std::vector<fs::path> cleanUp) : m_cleanUp(std::move(cleanUp)) {}
    ~Watchdog() { Stop(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Before the baseline, so the thread is counted from the first reading on.
    void Start()
    {
        m_lastEnd = m_lastTick = Clock::now();
        m_thread = std::thread([this] { Watch(); });
    }
    void Stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }
    void ItemEnded()
    {
        const std::lock_guard lock(m_mutex);
        m_lastEnd = Clock::now();
    }
    // What the queue is doing, from each poll of the user-interface thread.
    void Describe(std::string state)
    {
        const std::lock_guard lock(m_mutex);
        m_state = std::move(state);
        m_lastTick = Clock::now();
    }

private:
    void Watch()
    {
        std::unique_lock lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::seconds(1), [this] { return m_stop; }))
            if (Clock::now() - m_lastEnd > kStuckLimit) Bite();
    }

    // The threads and where each one sleeps tell where the queue hangs.
    [[noreturn]] void Bite()
    {
        const auto ago = [](Clock::time_point then) {
            return std::chrono::duration<double>(Clock::now() - then).count();
        };
        std::printf("\nFAIL: the queue is stuck: no item ended for %.0f s\n", ago(m_lastEnd));
        std::printf("  last poll %.1f s ago saw: %s\n  threads (tid name state wchan):\n", ago(m_lastTick),
                    m_state.c_str());
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/proc/self/task", error)) {
            const std::string stat = FirstLine(entry.path() / "stat");
            const auto close = stat.rfind(')');
            const char state = close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
            std::printf("    %s %s %c %s\n", entry.path().filename().c_str(), FirstLine(entry.path() / "comm").c_str(),
                        state, FirstLine(entry.path() / "wchan").c_str());
        }
        std::fflush(stdout);
        // A streaming thread may still be writing an output: try again.
        for (int attempt = 0; attempt < 10; ++attempt) {
            bool removed = true;
            for (const fs::path& folder : m_cleanUp) removed = fs::remove_all(folder, error) != uintmax_t(-1) && removed;
            if (removed) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::_Exit(1);
    }

    std::vector<fs::path> m_cleanUp;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    Clock::time_point m_lastEnd, m_lastTick;
    std::string m_state = "nothing yet";
    std::thread m_thread;
};

// ---- The items and the soak ----

enum class Ending { None, Transferred, Failed, Aborted, NotStarted };

// Made before the first item: recording how an item went allocates
// nothing, so the soak's own bookkeeping does not show as a leak.
struct Item {
    QString stem;    // the task's name
    QString input;   // a hard link to one of the clips
    QString output;  // <output folder>/<stem>.mp4
    bool toAbort = false;
    double abortPoint = 0;
    Ending ending = Ending::None;
    HRESULT failure = S_OK;
    bool wroteOutput = false;  // the task named `output` as its file
    float progressAtAbort = 0;
    qint64 partialBytes = -1;  // the output's size just before the abort
    bool partialRemoved = false;
};

class Soak final : public CDocumentView {
public:
    Soak(CKestrelDoc& document, std::vector<Item>& items, Watchdog& watchdog)
        : m_document(document),
          m_source(static_cast<CSourceDevice*>(document.FindDeviceByGuid(GUID_ComputerSrcDev))),
          m_target(static_cast<CTargetDevice*>(document.FindDeviceByGuid(GUID_ComputerTgtDev))),
          m_items(items),
          m_watchdog(watchdog)
    {
        m_readings.reserve(items.size() / kAbortEvery + 1);
        m_document.AddView(this);
    }
    ~Soak() override { m_document.RemoveView(this); }

    Reading Baseline()
    {
        QString status;
        float progress = 0;
        bool idle = false;
        m_document.Poll(status, progress, idle);
        QCoreApplication::processEvents();
        m_start = Clock::now();
        return Read(0, m_start);
    }

    // Until every item has ended and the queue is idle again.
    void Run()
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
            if (Tick()) loop.quit();
        });
        TopUp();
        poll.start(kPollMs);
        loop.exec();
        QCoreApplication::processEvents();
    }

    Reading Final() const { return Read(m_ended, m_start); }

    void OnBroadcast(int code, void* param) override;

    const std::vector<Reading>& Readings() const { return m_readings; }
    long PeakRssAfterWarmUpKb() const { return m_peakAfterWarmUpKb; }
    int Refusals() const { return m_refusals; }
    int StrayAborts() const { return m_strayAborts; }

private:
    bool Tick();
    void TopUp();
    bool AbortWhenDue(CTranscodeTask& task, float progress);
    Item* ItemOf(const QString& stem);
    void Ended();

    CKestrelDoc& m_document;
    CSourceDevice* m_source;
    CTargetDevice* m_target;
    std::vector<Item>& m_items;
    Watchdog& m_watchdog;
    Clock::time_point m_start;
    size_t m_queued = 0;
    int m_ended = 0;
    Item* m_aborting = nullptr;
    std::vector<Reading> m_readings;
    long m_peakAfterWarmUpKb = 0;
    int m_refusals = 0;
    int m_strayAborts = 0;
};

Item* Soak::ItemOf(const QString& stem)
{
    for (Item& item : m_items)
        if (item.stem == stem) return &item;
    return nullptr;
}

// Like a user adding files to a running transfer: the same number waits at every reading.
void Soak::TopUp()
{
    QStringList files;
    while (m_queued < m_items.size() && m_document.Queue().size() + size_t(files.size()) < kWaiting)
        files << m_items[m_queued++].input;
    if (!files.isEmpty() && !m_document.QueueTasks(m_source, &files, m_target)) m_refusals += int(files.size());
}

bool Soak::Tick()
{
    if (m_ended > kWarmUpItems) m_peakAfterWarmUpKb = std::max(m_peakAfterWarmUpKb, StatusKb("VmRSS"));
    CTranscodeTask* const before = m_document.CurrentTask();
    QString status;
    float progress = 0;
    bool idle = false;
    m_document.Poll(status, progress, idle);
    TopUp();
    CTranscodeTask* const task = m_document.CurrentTask();
    if (!task && m_document.Queue().empty() && m_queued == m_items.size()) return true;
    // The progress Poll gives is the task's it started with; a task that
    // took over within the poll has not shown its own yet.
    const bool sameTask = task && task == before;
    const bool aborted = sameTask && AbortWhenDue(*task, progress);
    const CTranscodeTask* const running = m_document.CurrentTask();
    char state[160];
    std::snprintf(state, sizeof state, "%d items ended, %zu waiting, running: %s at %.0f%%", m_ended,
                  m_document.Queue().size(), running ? qPrintable(running->GetName()) : "none",
                  sameTask && !aborted ? 100.0 * progress : 0.0);
    m_watchdog.Describe(state);
    return false;
}

// True when it aborted the task, which is gone then.
bool Soak::AbortWhenDue(CTranscodeTask& task, float progress)
{
    Item* item = ItemOf(task.GetName());
    if (!item || !item->toAbort || progress < item->abortPoint) return false;
    const QString partial = task.GetOutputPath();
    const QFileInfo written(partial);
    if (!written.exists()) return false;
    item->progressAtAbort = progress;
    item->partialBytes = written.size();
    item->wroteOutput = partial == item->output;
    m_aborting = item;
    m_document.AbortCurrentTask();  // what the window's Abort calls
    m_aborting = nullptr;
    item->partialRemoved = !QFileInfo::exists(partial);
    TopUp();
    return true;
}

void Soak::Ended()
{
    ++m_ended;
    m_watchdog.ItemEnded();
}

void Soak::OnBroadcast(int code, void* param)
{
    auto* task = static_cast<CTranscodeTask*>(param);
    switch (code) {
    case EVENT_TASK_FINISHED:
        if (Item* item = ItemOf(task->GetName())) {
            item->ending = task->Succeeded() ? Ending::Transferred : Ending::Failed;
            item->failure = task->Failure();
            item->wroteOutput = task->GetOutputPath() == item->output;
        }
        Ended();
        break;
    case EVENT_TASK_NOT_STARTED:
        if (Item* item = ItemOf(task->GetName())) item->ending = Ending::NotStarted;
        Ended();
        break;
    case EVENT_TASK_ABORTED:
        // The aborted task is gone and the next has not started: no graph
        // is alive, so what the process still holds is all it keeps.
        if (m_aborting)
            m_aborting->ending = Ending::Aborted;
        else
            ++m_strayAborts;
        Ended();
        m_readings.push_back(Read(m_ended, m_start));
        // Names are kept for the first reading and the latest only.
        if (m_readings.size() > 2) {
            Reading& previous = m_readings[m_readings.size() - 2];
            std::vector<std::string>().swap(previous.threads);
            std::vector<std::string>().swap(previous.files);
        }
        break;
    default:
        break;
    }
}

// ---- After the run: the outputs ----

struct ProbeResult {
    int probed = 0;
    QStringList wrong;
};

// ffprobe, not our code, says whether an output is what the target writes:
// H.264 no larger than the clip, AAC as the clip's audio, the clip's length.
QString ProbeProblem(const QString& path)
{
    const testing_media::Probe probe(path.toStdString());
    if (!probe.IsValid()) return "ffprobe cannot read it";
    const int video = probe.FirstStream("video"), audio = probe.FirstStream("audio");
    if (video < 0 || audio < 0 || probe.StreamCount() != 2) return "not one video and one audio stream";
    const int width = std::atoi(probe.Stream(video, "width").c_str());
    const int height = std::atoi(probe.Stream(video, "height").c_str());
    if (probe.Stream(video, "codec_name") != "h264" || width <= 0 || height <= 0 || width > kWidth ||
        height > kHeight)
        return QString::fromStdString("video " + probe.Stream(video, "codec_name") + " " + std::to_string(width) + "x" +
                                      std::to_string(height));
    if (probe.Stream(audio, "codec_name") != "aac" ||
        std::atoi(probe.Stream(audio, "sample_rate").c_str()) != kSampleRate ||
        std::atoi(probe.Stream(audio, "channels").c_str()) != kChannels)
        return QString::fromStdString("audio " + probe.Stream(audio, "codec_name") + " " +
                                      probe.Stream(audio, "sample_rate") + " Hz " + probe.Stream(audio, "channels") +
                                      " ch");
    if (std::abs(probe.Duration() - kClipSeconds) > kDurationSlack)
        return QStringLiteral("lasts %1 s").arg(probe.Duration());
    return {};
}

ProbeResult ProbeSample(const std::vector<Item>& items)
{
    ProbeResult result;
    std::vector<const Item*> transferred;
    for (const Item& item : items)
        if (item.ending == Ending::Transferred) transferred.push_back(&item);
    for (size_t i = 0; i < transferred.size(); ++i) {
        if (i % kProbeEvery != 0 && i + 1 != transferred.size()) continue;
        ++result.probed;
        const QString problem = ProbeProblem(transferred[i]->output);
        if (!problem.isEmpty()) result.wrong << transferred[i]->stem + ": " + problem;
    }
    return result;
}

// Each transferred item's file, and nothing else: an aborted item leaves none.
QStringList FolderProblems(const std::vector<Item>& items, const QString& folder)
{
    QStringList problems;
    QStringList expected;
    for (const Item& item : items) {
        if (item.ending != Ending::Transferred) continue;
        if (!item.wroteOutput) problems << item.stem + " was not written to " + item.output;
        if (QFileInfo(item.output).size() <= 0) problems << item.stem + ".mp4 missing or empty";
        expected << item.stem + ".mp4";
    }
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (!expected.contains(name)) problems << "unexpected file " + name;
    return problems;
}

struct Totals {
    int transferred = 0, aborted = 0, other = 0;
    int partialsLeft = 0;
    qint64 smallestPartial = -1, largestPartial = 0;
    float earliestAbort = 1, latestAbort = 0;
};

Totals Count(const std::vector<Item>& items, QStringList& problems)
{
    Totals totals;
    for (const Item& item : items) {
        const bool wanted = item.toAbort ? item.ending == Ending::Aborted : item.ending == Ending::Transferred;
        if (!wanted) {
            static const char* const kEndings[] = {"never ended", "transferred", "failed", "aborted", "never started"};
            problems << QStringLiteral("%1 %2 (wanted %3, cause 0x%4)")
                            .arg(item.stem, kEndings[int(item.ending)], item.toAbort ? "aborted" : "transferred")
                            .arg(quint32(item.failure), 8, 16, QLatin1Char('0'));
            ++totals.other;
            continue;
        }
        if (!item.toAbort) {
            ++totals.transferred;
            continue;
        }
        ++totals.aborted;
        if (!item.wroteOutput || !item.partialRemoved || QFileInfo::exists(item.output)) ++totals.partialsLeft;
        totals.smallestPartial =
            totals.smallestPartial < 0 ? item.partialBytes : std::min(totals.smallestPartial, item.partialBytes);
        totals.largestPartial = std::max(totals.largestPartial, item.partialBytes);
        totals.earliestAbort = std::min(totals.earliestAbort, item.progressAtAbort);
        totals.latestAbort = std::max(totals.latestAbort, item.progressAtAbort);
    }
    return totals;
}

int ParseItems(int argc, char** argv)
{
    if (argc < 2) return kDefaultItems;
    const int items = std::atoi(argv[1]);
    return items >= kWarmUpItems + kReadingEvery && items % kReadingEvery == 0 ? items : -1;
}

std::vector<Item> MakeItems(int count, const fs::path& clips, const fs::path& inputs, const fs::path& outputs)
{
    std::vector<Item> items;
    int shortOnes = 0, longOnes = 0;
    for (int index = 0; index < count; ++index) {
        Item item;
        item.toAbort = (index + 1) % kAbortEvery == 0;
        const Kind& kind = item.toAbort ? kLongKinds[longOnes % std::size(kLongKinds)]
                                        : kShortKinds[shortOnes % std::size(kShortKinds)];
        if (item.toAbort) item.abortPoint = kAbortPoints[longOnes++ % std::size(kAbortPoints)];
        else ++shortOnes;
        char stem[16];
        std::snprintf(stem, sizeof stem, "item-%03d", index + 1);
        const fs::path input = inputs / (std::string(stem) + "." + kind.extension);
        std::error_code error;
        fs::create_hard_link(clips / ClipName(kind, item.toAbort), input, error);
        if (error) fs::copy_file(clips / ClipName(kind, item.toAbort), input);
        item.stem = stem;
        item.input = QString::fromStdString(input.string());
        item.output = QString::fromStdString((outputs / (std::string(stem) + ".mp4")).string());
        items.push_back(item);
    }
    return items;
}

double Mb(long kb)
{
    return double(kb) / 1024.0;
}

// What one run gave.
struct Run {
    Reading before, end;
    std::vector<Reading> readings;  // one as each aborted item is gone
    long peakKb = 0;                // the highest RSS seen while converting, after the warm-up
    int refusals = 0, strayAborts = 0;

    const Reading* WarmUp() const
    {
        for (const Reading& reading : readings)
            if (reading.items == kWarmUpItems) return &reading;
        return nullptr;
    }
};

// Least squares over the readings from the warm-up on, in KB per item.
double TrendKbPerItem(const Run& run)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const Reading& reading : run.readings) {
        if (reading.items < kWarmUpItems) continue;
        const double x = reading.items, y = double(reading.liveKb);
        n += 1;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double denominator = n * sxx - sx * sx;
    return n < 2 || denominator == 0 ? 0 : (n * sxy - sx * sy) / denominator;
}

// The lowest trimmed RSS of the readings after `from` items up to `to`.
long LowestLiveKb(const Run& run, int from, int to)
{
    long lowest = run.end.items >= from && run.end.items <= to ? run.end.liveKb : LONG_MAX;
    for (const Reading& reading : run.readings)
        if (reading.items >= from && reading.items <= to) lowest = std::min(lowest, reading.liveKb);
    return lowest;
}

double Kb(size_t bytes)
{
    return double(bytes) / 1024.0;
}

void PrintRow(const Reading& reading, const std::string& label, const char* note)
{
    std::printf("  %6s %8.1f %8.2f %9.2f %9.1f %8zu %5zu   %s\n", label.c_str(), reading.seconds, Mb(reading.rssKb),
                Mb(reading.liveKb), Kb(reading.heapBytes), reading.threadCount, reading.fileCount, note);
}

void PrintTable(const Run& run)
{
    std::printf("  %6s %8s %8s %9s %9s %8s %5s\n", "items", "time s", "RSS MB", "trimmed", "heap KB", "threads",
                "fds");
    PrintRow(run.before, "0", "before the first item");
    for (const Reading& reading : run.readings)
        if (reading.items >= kWarmUpItems && (reading.items - kWarmUpItems) % kReadingEvery == 0)
            PrintRow(reading, std::to_string(reading.items), reading.items == kWarmUpItems ? "after the warm-up" : "");
    PrintRow(run.end, "end", "queue empty");
    std::printf("\n");
}

QStringList CheckMemory(const Run& run)
{
    const Reading* warmUp = run.WarmUp();
    if (!warmUp) return {"no reading after the warm-up"};
    long highest = 0;
    for (const Reading& reading : run.readings)
        if (reading.items >= kWarmUpItems) highest = std::max(highest, reading.rssKb);
    const int last = run.end.items;
    const long early = LowestLiveKb(run, kWarmUpItems, kWarmUpItems + kReadingEvery);
    const long late = LowestLiveKb(run, last - kReadingEvery, last);
    const double growth = Mb(late - early);
    std::printf("RSS as found: %.2f MB after the warm-up, %.2f MB at the end, highest between items %.2f MB, "
                "highest while converting %.2f MB\n",
                Mb(warmUp->rssKb), Mb(run.end.rssKb), Mb(highest), Mb(run.peakKb));
    std::printf("RSS trimmed: %.2f MB after the warm-up, %.2f MB at the end (%+.2f MB), trend %+.1f KB per item\n",
                Mb(warmUp->liveKb), Mb(run.end.liveKb), Mb(run.end.liveKb - warmUp->liveKb), TrendKbPerItem(run));
    std::printf("RSS growth: lowest trimmed reading of items %d-%d %.2f MB, of items %d-%d %.2f MB: %+.2f MB "
                "(limit %.0f MB)\n",
                kWarmUpItems, kWarmUpItems + kReadingEvery, Mb(early), last - kReadingEvery, last, Mb(late), growth,
                kRssGrowthLimitMb);
    QStringList failures;
    if (growth >= kRssGrowthLimitMb) failures << QStringLiteral("RSS grew %1 MB after the warm-up").arg(growth, 0, 'f', 2);

    // The last reading with the queue as full as after the warm-up.
    const Reading* full = warmUp;
    for (const Reading& reading : run.readings)
        if (reading.items + int(kWaiting) <= last) full = &reading;
    const double heapGrowth = Kb(full->heapBytes) - Kb(warmUp->heapBytes);
    std::printf("heap in use: %.1f KB after the warm-up, %.1f KB after item %d (the last with %zu waiting): %+.1f KB "
                "(limit %.0f KB); %.1f KB before the first item, %.1f KB at the end\n",
                Kb(warmUp->heapBytes), Kb(full->heapBytes), full->items, kWaiting, heapGrowth, kHeapGrowthLimitKb,
                Kb(run.before.heapBytes), Kb(run.end.heapBytes));
    if (heapGrowth >= kHeapGrowthLimitKb)
        failures << QStringLiteral("the heap in use grew %1 KB after the warm-up").arg(heapGrowth, 0, 'f', 1);
    return failures;
}

// What the first aborted item leaves is the set the engine starts once;
// nothing may come on top of it afterwards.
QStringList CheckThreadsAndFiles(const Run& run)
{
    const Reading& first = run.readings.empty() ? run.end : run.readings.front();
    const auto range = [&run](auto count) {
        size_t most = count(run.end), fewest = count(run.end);
        for (const Reading& reading : run.readings) {
            most = std::max(most, count(reading));
            fewest = std::min(fewest, count(reading));
        }
        return std::pair(fewest, most);
    };
    const auto [fewestThreads, mostThreads] = range([](const Reading& r) { return r.threadCount; });
    const auto [fewestFiles, mostFiles] = range([](const Reading& r) { return r.fileCount; });
    std::printf("threads: %zu before the first item (the main thread and the soak's watchdog), %zu at the end, %zu "
                "to %zu at the %zu readings between items\n",
                run.before.threads.size(), run.end.threads.size(), fewestThreads, mostThreads, run.readings.size());
    std::printf("fds: %zu before the first item, %zu at the end, %zu to %zu between items\n", run.before.files.size(),
                run.end.files.size(), fewestFiles, mostFiles);
    std::printf("fds before the first item: %s\n", Added({}, run.before.files).c_str());
    std::printf("started once, by item %d: threads: %s; fds: %s\n", first.items,
                Added(run.before.threads, first.threads).c_str(), Added(run.before.files, first.files).c_str());
    std::printf("at the end, beyond the baseline: threads: %s; fds: %s\n",
                Added(run.before.threads, run.end.threads).c_str(), Added(run.before.files, run.end.files).c_str());
    QStringList failures;
    if (fewestThreads != first.threadCount || mostThreads != first.threadCount)
        failures << "the thread count moved after the first item";
    if (fewestFiles != first.fileCount || mostFiles != first.fileCount)
        failures << "the fd count moved after the first item";
    return failures;
}

QStringList CheckItems(const std::vector<Item>& items, const Run& run, const TransferTally& tally)
{
    QStringList problems;
    const Totals totals = Count(items, problems);
    std::printf("items: %d transferred, %d aborted at %.0f%% to %.0f%% done (partial files of %lld to %lld bytes, %d "
                "left behind), %d ended otherwise; the document's tally: %d transferred, %d failed or aborted\n",
                totals.transferred, totals.aborted, 100.0 * totals.earliestAbort, 100.0 * totals.latestAbort,
                static_cast<long long>(totals.smallestPartial), static_cast<long long>(totals.largestPartial),
                totals.partialsLeft, totals.other, tally.transferred, tally.failed);
    for (const QString& problem : problems) std::printf("  %s\n", qPrintable(problem));
    QStringList failures;
    if (!problems.isEmpty()) failures << QStringLiteral("%1 items did not end as planned").arg(problems.size());
    if (totals.partialsLeft > 0) failures << QStringLiteral("%1 aborted items left a file").arg(totals.partialsLeft);
    if (tally.transferred != totals.transferred || tally.failed != int(items.size()) - totals.transferred)
        failures << "the document's tally disagrees";
    if (run.refusals > 0) failures << QStringLiteral("the target refused %1 items").arg(run.refusals);
    if (run.strayAborts > 0) failures << QStringLiteral("%1 aborts nobody asked for").arg(run.strayAborts);
    return failures;
}

QStringList CheckOutputs(const std::vector<Item>& items, const fs::path& folder)
{
    QStringList failures;
    const QStringList misplaced = FolderProblems(items, QString::fromStdString(folder.string()));
    for (const QString& problem : misplaced) std::printf("  %s\n", qPrintable(problem));
    if (!misplaced.isEmpty()) failures << "the output folder is not as expected";
    const ProbeResult probed = ProbeSample(items);
    std::printf("ffprobe: %d of %d sampled outputs are H.264 %dx%d or smaller + AAC %d Hz %d ch, %.1f s +- %.2f s\n",
                probed.probed - int(probed.wrong.size()), probed.probed, kWidth, kHeight, kSampleRate, kChannels,
                kClipSeconds, kDurationSlack);
    for (const QString& problem : probed.wrong) std::printf("  %s\n", qPrintable(problem));
    if (!probed.wrong.isEmpty()) failures << "outputs ffprobe does not accept";
    return failures;
}

}  // namespace

int main(int argc, char** argv)
{
    const int itemCount = ParseItems(argc, argv);
    if (itemCount < 0) {
        std::fprintf(stderr, "usage: %s [items]  (a multiple of %d, at least %d)\n", argv[0], kReadingEvery,
                     kWarmUpItems + kReadingEvery);
        return 2;
    }
    const testing_files::TempHome home;
    const testing_files::TempFolder work;
    const fs::path clips = work.Path() / "clips", inputs = work.Path() / "in", outputs = work.Path() / "out";
    for (const fs::path& folder : {clips, inputs, outputs}) fs::create_directories(folder);
    std::printf("making the clips with the ffmpeg command...\n");
    std::fflush(stdout);
    bool made = true;
    for (const Kind& kind : kShortKinds) made = MakeClip(clips, kind, false) && made;
    for (const Kind& kind : kLongKinds) made = MakeClip(clips, kind, true) && made;
    if (!made) {
        std::fputs("the ffmpeg command could not make the clips\n", stderr);
        return 2;
    }
    std::vector<Item> items = MakeItems(itemCount, clips, inputs, outputs);

    // Qt would otherwise make its runtime folder in the real /tmp.
    const std::string runtime = home.Home() + "/runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    StartMediaEngine();
    CountingPresenter presenter;
    IdlePower power;
    Watchdog watchdog({work.Path(), fs::path(home.Home()).parent_path()});

    CKestrelDoc document;
    auto* target = static_cast<CComputerTgtDev*>(document.FindDeviceByGuid(GUID_ComputerTgtDev));
    target->SetCurrentHandler(target->HandlerForExtension("mp4"));
    target->SetOutputFolder(QString::fromStdString(outputs.string()));

    Run run;
    watchdog.Start();
    {
        Soak soak(document, items, watchdog);
        run.before = soak.Baseline();
        std::printf("queue soak: %d items (%d run to the end, %d aborted part-way), MP4 on My Computer\n\n", itemCount,
                    itemCount - itemCount / kAbortEvery, itemCount / kAbortEvery);
        std::fflush(stdout);
        soak.Run();
        run.end = soak.Final();
        run.readings = soak.Readings();
        run.peakKb = soak.PeakRssAfterWarmUpKb();
        run.refusals = soak.Refusals();
        run.strayAborts = soak.StrayAborts();
    }
    watchdog.Stop();

    PrintTable(run);
    QStringList failures = CheckMemory(run);
    failures << CheckThreadsAndFiles(run);
    failures << CheckItems(items, run, document.Tally());
    for (const QString& message : presenter.messages) std::printf("  message: %s\n", qPrintable(message));
    if (!presenter.messages.isEmpty()) failures << QStringLiteral("%1 messages shown").arg(presenter.messages.size());
    if (!power.everAwake || power.awake || power.powerOffs > 0)
        failures << "the sleep inhibitor was not taken and let go as the queue ran";
    failures << CheckOutputs(items, outputs);

    std::printf("wall time: %.1f s for %d items\n\n", run.end.seconds, itemCount);
    if (failures.isEmpty())
        std::printf("PASS\n");
    else
        std::printf("FAIL: %s\n", qPrintable(failures.join("; ")));
    return failures.isEmpty() ? 0 : 1;
}
