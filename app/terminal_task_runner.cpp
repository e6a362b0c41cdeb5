#include "app/terminal_task_runner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <cmath>
#include <unistd.h>
#include <vector>

#include "app/kestrel_doc.h"
#include "app/stop_signals.h"
#include "app/time_left.h"
#include "pipeline/transcode_task.h"

namespace {

struct Item {
    const CTranscodeTask* task;  // compared only while the item has not ended
    QString name;
    QString description;
    bool ended = false;
};

// Where the runner reports the items to.
class ProgressOutput {
public:
    virtual ~ProgressOutput() = default;
    virtual void Started(const Item& item) = 0;
    // At every poll while the item runs.
    virtual void Progress(const Item& item, double fraction, const CTimeLeft& times, int waiting) = 0;
    virtual void Ended(const Item& item, ItemState state) = 0;
};

class TextLines final : public ProgressOutput {
public:
    explicit TextLines(std::FILE* out) : m_out(out), m_inPlace(isatty(fileno(out)) != 0) {}

    void Started(const Item&) override {}

    void Progress(const Item& item, double fraction, const CTimeLeft& times, int waiting) override
    {
        if (!m_inPlace)
            return;
        // Clears what a longer line before left.
        std::fprintf(m_out, "\r%s\033[K", qPrintable(ProgressLineText(item.description, fraction, times, waiting)));
        std::fflush(m_out);
        m_lineOpen = true;
    }

    void Ended(const Item& item, ItemState state) override
    {
        const bool done = state == ItemState::Transferred;
        if (m_lineOpen && state != ItemState::Aborted)
            std::fprintf(m_out, "\r[%s] %s\033[K\n", done ? "100%" : "fail", qPrintable(item.description));
        else
            std::fprintf(m_out, "%s%s: %s\n", m_lineOpen ? "\r" : "", qPrintable(item.description),
                         done ? "done" : state == ItemState::Aborted ? "stopped" : "failed");
        std::fflush(m_out);
        m_lineOpen = false;
    }

private:
    std::FILE* m_out;
    bool m_inPlace;
    bool m_lineOpen = false;
};

class JsonLines final : public ProgressOutput {
public:
    explicit JsonLines(std::FILE* out) : m_out(out) {}

    void Started(const Item& item) override
    {
        Write(ProgressJsonLine(item.name, ItemState::Started, 0, CTimeLeft(), 0));
        m_lastPercent = 0;
        m_lastSeconds = 0;
    }

    // A line when the percentage moves, and at least every second as a
    // heartbeat while it does not.
    void Progress(const Item& item, double fraction, const CTimeLeft& times, int waiting) override
    {
        const int percent = int(fraction * 100);
        if (percent == m_lastPercent && times.Elapsed() - m_lastSeconds < 1.0)
            return;
        Write(ProgressJsonLine(item.name, ItemState::Progress, fraction, times, waiting));
        m_lastPercent = percent;
        m_lastSeconds = times.Elapsed();
        m_lastFraction = fraction;
    }

    void Ended(const Item& item, ItemState state) override
    {
        const double fraction = state == ItemState::Transferred ? 1.0 : m_lastFraction;
        Write(ProgressJsonLine(item.name, state, fraction, CTimeLeft(), 0));
        m_lastFraction = 0;
    }

private:
    void Write(const QByteArray& line)
    {
        std::fprintf(m_out, "%s\n", line.constData());
        std::fflush(m_out);
    }

    std::FILE* m_out;
    int m_lastPercent = 0;
    double m_lastSeconds = 0;
    double m_lastFraction = 0;
};

// Follows the queue's items from the document's broadcasts and polls, and
// tells the output when each starts, moves and ends.
class QueueWatcher final : public CDocumentView {
public:
    QueueWatcher(CKestrelDoc& document, ProgressOutput& output) : m_document(document), m_output(output)
    {
        for (const std::unique_ptr<CTranscodeTask>& task : document.Queue())
            m_items.push_back({task.get(), task->GetName(), task->GetDescription()});
        m_document.AddView(this);
    }
    ~QueueWatcher() override { m_document.RemoveView(this); }

    void OnBroadcast(int code, void* param) override
    {
        auto* task = static_cast<const CTranscodeTask*>(param);
        if (code == EVENT_TASK_NOT_STARTED)
            End(Find(task), ItemState::Failed);
        else if (code == EVENT_TASK_FINISHED)
            End(Find(task), task->Succeeded() ? ItemState::Transferred : ItemState::Failed);
        else if (code == EVENT_TASK_ABORTED)  // without its task: the running one
            End(m_running, ItemState::Aborted);
    }

    void Poll(double now)
    {
        CTranscodeTask* task = m_document.CurrentTask();
        if (!task)
            return;
        if (!m_running) {
            m_running = Find(task);
            if (!m_running)
                return;
            m_times.StartItem(now);
            m_output.Started(*m_running);
        }
        m_times.Sample(now, task->GetProgress());
        m_output.Progress(*m_running, task->GetProgress(), m_times, int(m_document.Queue().size()));
    }

    // Those that a stop kept from starting.
    void EndTheRest()
    {
        for (Item& item : m_items)
            End(&item, ItemState::Aborted);
    }

private:
    Item* Find(const CTranscodeTask* task)
    {
        for (Item& item : m_items)
            if (!item.ended && item.task == task)
                return &item;
        return nullptr;
    }

    void End(Item* item, ItemState state)
    {
        if (!item || item->ended)
            return;
        item->ended = true;
        m_output.Ended(*item, state);
        if (item == m_running)
            m_running = nullptr;
    }

    CKestrelDoc& m_document;
    ProgressOutput& m_output;
    std::vector<Item> m_items;
    Item* m_running = nullptr;
    CTimeLeft m_times;
};

std::unique_ptr<ProgressOutput> MakeOutput(ProgressFormat format, std::FILE* out)
{
    if (format == ProgressFormat::Json)
        return std::make_unique<JsonLines>(out);
    return std::make_unique<TextLines>(out);
}

// The float progress's last digits are noise to a script.
double Rounded(double value, double stepsPerUnit)
{
    return std::round(value * stepsPerUnit) / stepsPerUnit;
}

QString StateName(ItemState state)
{
    switch (state) {
    case ItemState::Started:
        return QStringLiteral("started");
    case ItemState::Progress:
        return QStringLiteral("progress");
    case ItemState::Transferred:
        return QStringLiteral("transferred");
    case ItemState::Failed:
        return QStringLiteral("failed");
    case ItemState::Aborted:
        return QStringLiteral("aborted");
    }
    return {};
}

}  // namespace

QByteArray ProgressJsonLine(const QString& item, ItemState state, double fraction, const CTimeLeft& times,
                            int waiting)
{
    QJsonObject line{{"item", item}, {"state", StateName(state)}, {"fraction", Rounded(qBound(0.0, fraction, 1.0), 10000)}};
    if (state == ItemState::Progress) {
        if (const std::optional<double> left = times.ItemLeft())
            line.insert("secondsLeft", Rounded(*left, 10));
        if (const std::optional<double> left = times.QueueLeft(waiting))
            line.insert("queueSecondsLeft", Rounded(*left, 10));
    }
    return QJsonDocument(line).toJson(QJsonDocument::Compact);
}

QString ProgressLineText(const QString& item, double fraction, const CTimeLeft& times, int waiting)
{
    const int percent = qBound(0, int(fraction * 100), 100);
    QString text = QStringLiteral("[%1%] %2  %3").arg(percent, 3).arg(item, FormatDuration(times.Elapsed()));
    if (const std::optional<double> left = times.ItemLeft())
        text += QStringLiteral(", %1 left").arg(FormatDuration(*left));
    if (const std::optional<double> left = times.QueueLeft(waiting); left && waiting > 0)
        text += QStringLiteral(", queue %1").arg(FormatDuration(*left));
    return text;
}

int RunQueueInTerminal(CKestrelDoc& document, ProgressFormat format, std::FILE* out)
{
    CStopSignals stopSignals;
    const std::unique_ptr<ProgressOutput> output = MakeOutput(format, out);
    QueueWatcher watcher(document, *output);
    QElapsedTimer clock;
    clock.start();
    QString status;
    float progress = 0;
    for (;;) {
        if (stopSignals.Received()) {
            document.StopAll();
            break;
        }
        bool idle = false;
        document.Poll(status, progress, idle);
        if (idle)
            break;
        CTranscodeTask* task = document.CurrentTask();
        stopSignals.SetPartialFile(task ? task->GetOutputPath() : QString());
        watcher.Poll(double(clock.elapsed()) / 1000);
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
    watcher.EndTheRest();
    return stopSignals.Received() ? stopSignals.ExitStatus() : 0;
}
