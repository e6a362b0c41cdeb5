#include "app/terminal_task_runner.h"

#include <QCoreApplication>
#include <QThread>
#include <unistd.h>

#include "app/kestrel_doc.h"
#include "app/stop_signals.h"
#include "pipeline/transcode_task.h"

namespace {

// Learns of each finished task through the document's broadcast, so its
// line ends with how it went.
class ProgressLines final : public CDocumentView {
public:
    explicit ProgressLines(std::FILE* out) : m_out(out), m_inPlace(isatty(fileno(out)) != 0) {}

    void OnBroadcast(int code, void* param) override
    {
        auto* task = static_cast<CTranscodeTask*>(param);
        if (code == EVENT_TASK_NOT_STARTED) {
            std::fprintf(m_out, "%s: failed\n", qPrintable(task->GetDescription()));
            std::fflush(m_out);
            return;
        }
        if (code != EVENT_TASK_FINISHED)
            return;
        const char* result = task->Succeeded() ? "done" : "failed";
        if (m_inPlace && task == m_task)
            std::fprintf(m_out, "\r[%s] %s\n", task->Succeeded() ? "100%" : "fail", qPrintable(task->GetDescription()));
        else
            std::fprintf(m_out, "%s: %s\n", qPrintable(task->GetDescription()), result);
        std::fflush(m_out);
        m_task = nullptr;
    }

    // The running task's line ends as stopped.
    void Interrupted(CTranscodeTask* task)
    {
        if (!task)
            return;
        std::fprintf(m_out, "%s%s: stopped\n", m_inPlace ? "\r" : "", qPrintable(task->GetDescription()));
        std::fflush(m_out);
        m_task = nullptr;
    }

    void Show(CTranscodeTask* task, float fraction)
    {
        if (!task || !m_inPlace)
            return;
        const int percent = qBound(0, int(fraction * 100), 100);
        const QString text = task->GetDescription();
        std::fprintf(m_out, "\r[%3d%%] %s", percent, qPrintable(text));
        std::fflush(m_out);
        m_task = task;
    }

private:
    std::FILE* m_out;
    bool m_inPlace;
    CTranscodeTask* m_task = nullptr;
};

}  // namespace

int RunQueueInTerminal(CKestrelDoc& document, std::FILE* out)
{
    CStopSignals stopSignals;
    ProgressLines lines(out);
    document.AddView(&lines);
    QString status;
    float progress = 0;
    for (;;) {
        if (stopSignals.Received()) {
            lines.Interrupted(document.CurrentTask());
            document.StopAll();
            break;
        }
        bool idle = false;
        document.Poll(status, progress, idle);
        if (idle)
            break;
        CTranscodeTask* task = document.CurrentTask();
        stopSignals.SetPartialFile(task ? task->GetOutputPath() : QString());
        lines.Show(task, progress);
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
    document.RemoveView(&lines);
    return stopSignals.Received() ? stopSignals.ExitStatus() : 0;
}
