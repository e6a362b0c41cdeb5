// How quickly the media list shows a folder of 100 mixed media files in a
// 500 x 600 list: the first paint right after listing (goal < 0.5 s), every
// row with its details and thumbnail (goal < 3 s), and a second visit that
// opens no file at all (the media information object is taken away; the
// rows must come back as before).
//
// Usage: media_list_listing  (exits 1 when a goal is missed)
// The files are made once with the ffmpeg command and kept in
// <temp>/tavimo-bench for later runs; home, settings and data live in a
// temporary folder removed at the end.
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/media_engine.h"
#include "components/component_ids.h"
#include "medialist/info_worker.h"
#include "medialist/media_item.h"
#include "medialist/media_list_ctrl.h"
#include "platform/com/class_registry.h"
#include "platform/shell/shell_namespace.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/temp_home.h"

namespace {

constexpr int kFileCount = 100;
constexpr int kLongestSeconds = 60;
constexpr double kFirstPaintGoalMs = 500;
constexpr double kAllReadGoalMs = 3000;
constexpr double kGiveUpMs = 120000;

struct Kind {
    const char* extension;
    const char* codecs;  // empty: audio only
    const char* audioCodec;
};

constexpr const char* kH264 = "-c:v libx264 -preset ultrafast -pix_fmt yuv420p";

// What people keep in their video folders, in every container the list offers.
const Kind kKinds[] = {
    {"mp4", kH264, "-c:a aac"},
    {"avi", "-c:v mpeg4", "-c:a libmp3lame"},
    {"mov", kH264, "-c:a aac"},
    {"flv", "-c:v flv", "-c:a libmp3lame"},
    {"wmv", "-c:v wmv2", "-c:a wmav2"},
    {"mpg", "-c:v mpeg2video", "-c:a mp2"},
    {"ts", kH264, "-c:a aac"},
    {"3gp", kH264, "-c:a aac"},
    {"mp3", "", "-c:a libmp3lame"},
    {"wav", "", "-c:a pcm_s16le"},
    {"m4a", "", "-c:a aac"},
    {"wma", "", "-c:a wmav2"},
};
constexpr int kKindCount = int(std::size(kKinds));

const Kind& KindOf(int index)
{
    return kKinds[index % kKindCount];
}

// 1 to 60 s, spread over the files (37 and 60 share no factor).
int SecondsOf(int index)
{
    return 1 + index * 37 % kLongestSeconds;
}

std::string FileName(int index)
{
    char number[8];
    std::snprintf(number, sizeof number, "%03d", index);
    return std::string("clip-") + number + "." + KindOf(index).extension;
}

std::string FfmpegArguments(int index)
{
    const Kind& kind = KindOf(index);
    const bool video = *kind.codecs != '\0';
    std::string arguments = video ? "-f lavfi -i testsrc=size=320x240:rate=25 " : "";
    arguments += "-f lavfi -i sine=frequency=440:sample_rate=44100 -t " + std::to_string(SecondsOf(index));
    return arguments + " " + kind.codecs + " " + kind.audioCodec + " -ac 2";
}

// Two ffmpeg commands at a time, one per core.
bool MakeFiles(const std::filesystem::path& folder)
{
    std::atomic<int> next{0};
    std::atomic<bool> made{true};
    const auto work = [&] {
        for (int index = next++; index < kFileCount; index = next++) {
            if (!testing_media::MakeMedia((folder / FileName(index)).string(), FfmpegArguments(index))) {
                std::fprintf(stderr, "ffmpeg could not make %s\n", FileName(index).c_str());
                made = false;
            }
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    return made;
}

// Made once: a hundred files take the ffmpeg command a while.
std::string MediaFolder()
{
    const auto base = std::filesystem::temp_directory_path() / "tavimo-bench";
    const auto folder = base / "media-list-100";
    if (std::filesystem::exists(folder)) return folder.string();
    const auto partial = base / "media-list-100.partial";
    std::filesystem::remove_all(partial);
    std::filesystem::create_directories(partial);
    std::printf("making %d media files with the ffmpeg command (kept for later runs)...\n", kFileCount);
    std::fflush(stdout);
    if (!MakeFiles(partial)) return {};
    std::filesystem::rename(partial, folder);
    return folder.string();
}

class Stopwatch {
public:
    void Restart() { m_start = std::chrono::steady_clock::now(); }
    double Ms() const
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// Runs the event loop (the worker's rows arrive through it) until `done`
// holds; false when it never did.
template <class Condition>
bool RunEventsUntil(Condition done)
{
    const Stopwatch waited;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || waited.Ms() > kGiveUpMs) loop.quit();
    });
    poll.start(2);
    if (!done()) loop.exec();
    return done();
}

bool AllRowsRead(const CMediaListCtrl& list)
{
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (list.Row(row).item.m_bNeedsInfo) return false;
    return !list.IsInfoWorkerRunning();
}

class PaintCounter final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++count;
        return QObject::eventFilter(watched, event);
    }
};

// When each row got its details, in ms on the listing's stopwatch.
class ArrivalLog final : public QObject {
public:
    ArrivalLog(const CMediaListCtrl& list, const Stopwatch& clock) : m_list(list), m_clock(clock)
    {
        connect(list.model(), &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& from, const QModelIndex& to) { Note(from.row(), to.row()); });
    }
    const std::map<int, double>& Times() const { return m_times; }

private:
    void Note(int first, int last)
    {
        for (int row = first; row <= last; ++row)
            if (!m_list.Row(row).item.m_bNeedsInfo) m_times.emplace(row, m_clock.Ms());
    }

    const CMediaListCtrl& m_list;
    const Stopwatch& m_clock;
    std::map<int, double> m_times;
};

QString Suffix(const CMediaRow& row)
{
    return QFileInfo(row.item.m_strPath).suffix();
}

// The worker reads the rows in order, so the time between two arrivals is
// about what the later file took.
void PrintTimeByKind(const CMediaListCtrl& list, const std::map<int, double>& arrivals)
{
    std::vector<std::pair<double, int>> order;
    for (const auto& [row, ms] : arrivals) order.emplace_back(ms, row);
    std::sort(order.begin(), order.end());
    struct Totals {
        int files = 0;
        double sum = 0, most = 0;
    };
    std::map<QString, Totals> byKind;
    double previous = 0;
    for (const auto& [ms, row] : order) {
        Totals& totals = byKind[Suffix(list.Row(row))];
        ++totals.files;
        totals.sum += ms - previous;
        totals.most = std::max(totals.most, ms - previous);
        previous = ms;
    }
    std::puts("  time per file by kind (between arrivals, ms):");
    for (const auto& [suffix, totals] : byKind)
        std::printf("    %-4s %3d files  mean %7.1f  max %7.1f\n", qPrintable(suffix), totals.files,
                    totals.sum / totals.files, totals.most);
}

struct Shown {
    QString text;
    QImage picture;
};
using Snapshot = std::map<QString, Shown>;

Snapshot TakeSnapshot(const CMediaListCtrl& list)
{
    Snapshot shown;
    for (int row = 0; row < list.GetItemCount(); ++row)
        shown[list.Row(row).item.m_strPath] = {list.GetItemText(row), list.Row(row).item.m_image.Image()};
    return shown;
}

// Every row with its details and a picture; a video's picture is its own
// frame (opaque), not the default one.
int RowsLackingInfo(const CMediaListCtrl& list)
{
    int lacking = 0;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const CMediaItem& item = list.Row(row).item;
        const bool unknown = list.GetItemText(row) == FormatInfoText(226, item);
        const bool frameMissing = item.m_nKind == MK_VIDEO && item.m_image.HasAlpha();
        if (item.m_bNeedsInfo || unknown || item.m_image.IsNull() || frameMissing) {
            std::printf("    lacking: %s\n", qPrintable(list.GetItemText(row).replace('\n', " | ")));
            ++lacking;
        }
    }
    return lacking;
}

int RowsDiffering(const Snapshot& before, const Snapshot& after)
{
    int differing = int(before.size() > after.size() ? before.size() - after.size() : 0);
    for (const auto& [path, shown] : after) {
        const auto it = before.find(path);
        if (it == before.end() || it->second.text != shown.text || it->second.picture != shown.picture) {
            std::printf("    differs: %s\n", qPrintable(path));
            ++differing;
        }
    }
    return differing;
}

bool Report(const char* what, double ms, double goalMs)
{
    const bool met = ms >= 0 && ms < goalMs;
    std::printf("  %-16s %8.1f ms  (goal < %.0f ms)  %s\n", what, ms, goalMs, met ? "PASS" : "MISS");
    return met;
}

bool Check(const char* what, int failures)
{
    std::printf("  %-16s %8d rows wrong                 %s\n", what, failures, failures == 0 ? "PASS" : "MISS");
    return failures == 0;
}

class Bench {
public:
    explicit Bench(const std::string& folder) : m_folder(CShellNamespace().FromPath(folder))
    {
        m_list.MutableOptions().showAudio = true;
        m_list.Create();
        m_list.resize(500, 600);
        m_list.viewport()->installEventFilter(&m_paints);
        m_list.show();
        RunEventsUntil([this] { return m_paints.count > 0; });
    }
    ~Bench() { m_list.StopInfoWorker(); }

    bool FirstVisit();
    bool SecondVisit();

private:
    double ListAndPaintMs();

    PaintCounter m_paints;  // outlives the list it watches
    CMediaListCtrl m_list;
    const CNameSpaceItem m_folder;
    Stopwatch m_clock;
    Snapshot m_firstVisit;
};

double Bench::ListAndPaintMs()
{
    m_paints.count = 0;
    m_clock.Restart();
    if (!m_list.BrowseFolder(m_folder)) return -1;
    m_list.repaint();
    const double ms = m_clock.Ms();
    return m_paints.count > 0 ? ms : -1;
}

bool Bench::FirstVisit()
{
    ArrivalLog arrivals(m_list, m_clock);
    const double paintMs = ListAndPaintMs();
    const bool read = RunEventsUntil([this] { return AllRowsRead(m_list); });
    const double readMs = read ? m_clock.Ms() : -1;
    std::printf("first visit of %d files (%d kinds, 1 to %d s):\n", m_list.GetItemCount(), kKindCount,
                kLongestSeconds);
    bool met = Report("first paint", paintMs, kFirstPaintGoalMs);
    met = Report("all rows read", readMs, kAllReadGoalMs) && met;
    met = Check("rows listed", std::abs(m_list.GetItemCount() - kFileCount)) && met;
    met = Check("rows complete", RowsLackingInfo(m_list)) && met;
    PrintTimeByKind(m_list, arrivals.Times());
    m_firstVisit = TakeSnapshot(m_list);
    return met;
}

// Without the media information object any file opened would show
// "Unknown format"; the cache alone must bring every row back.
bool Bench::SecondVisit()
{
    const ScopedClassOverride noReader(CLSID_MediaInfo, {});
    const double paintMs = ListAndPaintMs();
    const bool read = RunEventsUntil([this] { return AllRowsRead(m_list); });
    const double readMs = read ? m_clock.Ms() : -1;
    std::puts("second visit, the media information object removed:");
    std::printf("  %-16s %8.1f ms\n  %-16s %8.1f ms\n", "first paint", paintMs, "all rows read", readMs);
    return Check("rows as before", read ? RowsDiffering(m_firstVisit, TakeSnapshot(m_list)) : kFileCount);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = MediaFolder();
    if (folder.empty()) {
        std::fputs("could not make the media files with the ffmpeg command\n", stderr);
        return 1;
    }
    const testing_files::TempHome home;
    // Qt would otherwise make its runtime folder in the real /tmp.
    const std::string runtime = home.Home() + "/runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    StartMediaEngine();
    bool met = false;
    {
        Bench bench(folder);
        met = bench.FirstVisit();
        met = bench.SecondVisit() && met;
    }
    CInfoWorker::WaitForAll();
    return met ? 0 : 1;
}
