#include "app/terminal_task_runner.h"

#include <QCoreApplication>
#include <QThread>
#include <unistd.h>

#include "app/kestrel_doc.h"
#include "pipeline/transcode_task.h"

namespace {

// Learns of each finished task through the document's broadcast, so its
// line ends with how it went.
class ProgressLines final : public CDocumentView {
public:
    explicit ProgressLines(std::FILE* out) : out_(out), inPlace_(isatty(fileno(out)) != 0) {}

    void OnBroadcast(int code, void* param) override
    {
        if (code != EVENT_TASK_FINISHED)
            return;
        auto* task = static_cast<CTranscodeTask*>(param);
        const char* result = task->Succeeded() ? "done" : "failed";
        if (inPlace_ && task == task_)
            std::fprintf(out_, "\r[%s] %s\n", task->Succeeded() ? "100%" : "fail", qPrintable(task->GetDescription()));
        else
            std::fprintf(out_, "%s: %s\n", qPrintable(task->GetDescription()), result);
        std::fflush(out_);
        task_ = nullptr;
    }

    void Show(CTranscodeTask* task, float fraction)
    {
        if (!task || !inPlace_)
            return;
        const int percent = qBound(0, int(fraction * 100), 100);
        const QString text = task->GetDescription();
        std::fprintf(out_, "\r[%3d%%] %s", percent, qPrintable(text));
        std::fflush(out_);
        task_ = task;
    }

private:
    std::FILE* out_;
    bool inPlace_;
    CTranscodeTask* task_ = nullptr;
};

}  // namespace

void RunQueueInTerminal(CKestrelDoc& document, std::FILE* out)
{
    ProgressLines lines(out);
    document.AddView(&lines);
    QString status;
    float progress = 0;
    for (;;) {
        bool idle = false;
        document.Poll(status, progress, idle);
        if (idle)
            break;
        lines.Show(document.CurrentTask(), progress);
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
    document.RemoveView(&lines);
}
