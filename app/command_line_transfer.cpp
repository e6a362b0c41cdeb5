#include "app/command_line_transfer.h"

#include <QDir>
#include <QFileInfo>

#include "app/command_line.h"
#include "app/kestrel_doc.h"
#include "app/stop_signals.h"
#include "app/task_list_dlg.h"
#include "app/terminal_task_runner.h"
#include "pipeline/device.h"
#include "res/string_table.h"
#include "sources/dvd/video_dvd_src_dev.h"
#include "targets/computer_tgt_dev.h"
#include "targets/netbook_tgt_dev.h"
#include "ui/messages.h"

namespace {

// Makes the chosen format, profile and folder current on the computer
// target; an error text when one of them cannot be.
QString ApplyComputerOptions(CComputerTgtDev* target, const CExCommandLineInfo& info)
{
    if (!info.format.isEmpty()) {
        CTargetHandler* handler = target->HandlerForExtension(info.format);
        if (!handler)
            return QStringLiteral("Unknown format: %1 (use mp4, wmv, wav, m4a or mp3).").arg(info.format);
        target->SetCurrentHandler(handler);
    }
    if (!info.outputFolder.isEmpty()) {
        const QString folder = QFileInfo(info.outputFolder).absoluteFilePath();
        if (!QDir().mkpath(folder))
            return QStringLiteral("Cannot create the folder %1.").arg(folder);
        target->SetOutputFolder(folder);
    }
    return {};
}

QString ApplyNetbookOptions(const CExCommandLineInfo& info)
{
    if (!info.format.isEmpty() && info.format != QLatin1String("mp4"))
        return QStringLiteral("The netbook takes MPEG-4 files only (-format=mp4).");
    if (!info.outputFolder.isEmpty())
        return QStringLiteral("The netbook writes to its removable drive; -outdir is for My Computer.");
    return {};
}

QString ApplyProfile(CTargetHandler* handler, int profile)
{
    if (profile == 0)
        return {};
    if (!handler || profile > handler->Profiles().size())
        return QStringLiteral("The format has no profile %1.").arg(profile);
    handler->SelectProfile(profile - 1);
    return {};
}

QString ApplyOptions(CTargetDevice* target, const CExCommandLineInfo& info)
{
    if (auto* computer = dynamic_cast<CComputerTgtDev*>(target)) {
        QString error = ApplyComputerOptions(computer, info);
        return error.isEmpty() ? ApplyProfile(computer->CurrentHandler(), info.profile) : error;
    }
    if (auto* netbook = dynamic_cast<CNetbookTgtDev*>(target)) {
        QString error = ApplyNetbookOptions(info);
        return error.isEmpty() ? ApplyProfile(netbook->CurrentHandler(), info.profile) : error;
    }
    return {};
}

// The queue runs in the task list with a display, else in the terminal;
// JSON progress is for a script, which reads the terminal's output.
// Returns the exit status of a stop signal, else 0.
int RunQueueUnattended(CKestrelDoc& document, bool jsonProgress)
{
    if (jsonProgress)
        return RunQueueInTerminal(document, ProgressFormat::Json);
    if (!HasDisplay())
        return RunQueueInTerminal(document);
    CStopSignals stopSignals;
    CTaskListDlg dialog(&document, true);
    QObject::connect(&stopSignals, &CStopSignals::StopRequested, &dialog, [&document, &dialog] {
        document.StopAll();
        dialog.reject();
    });
    dialog.exec();
    return stopSignals.Received() ? stopSignals.ExitStatus() : 0;
}

// Reads the DVD and sets the chosen streams on the titles asked for; an
// error text when the disc, a title or a stream is not there.
QString PrepareDvdTitles(CVideoDVDSrcDev* source, const CExCommandLineInfo& info)
{
    source->SelectDrive(source->AddDrive(info.drive));
    if (!source->ReadDiscStructure() || source->TitleCount() == 0)
        return QStringLiteral("No video DVD titles found in %1.").arg(info.drive);
    for (const QString& number : info.files) {
        CTitleInfo* title = source->Title(number.toInt() - 1);
        if (!title)
            return QStringLiteral("The DVD has no title %1 (it has %2).").arg(number).arg(source->TitleCount());
        if (info.audio > title->m_titleSet->m_audioDescriptions.size())
            return QStringLiteral("Title %1 has no audio stream %2.").arg(number).arg(info.audio);
        if (info.subtitles > title->m_titleSet->m_subtitleDescriptions.size())
            return QStringLiteral("Title %1 has no subtitle stream %2.").arg(number).arg(info.subtitles);
        title->m_audio = info.audio - 1;
        title->m_subtitles = info.subtitles - 1;
    }
    return {};
}

int CannotSendTo(const QString& targetName)
{
    ShowMessage(FormatString(IDS_UNABLE_TO_SEND, {targetName}), MessageIcon::Error);
    return EXIT_CANNOT_TRANSFER;
}

}  // namespace

int RunCommandLineTransfer(const CExCommandLineInfo& info)
{
    CKestrelDoc document;
    auto* target = dynamic_cast<CTargetDevice*>(document.FindDevice(info.targetName, DIRECTION_TARGET));
    // Without a page window the target writes where its page would show
    // first; a netbook without its drive has nowhere to write.
    if (!target || !target->IsAvailable())
        return CannotSendTo(info.targetName);
    const QString error = ApplyOptions(target, info);
    if (!error.isEmpty()) {
        ShowMessage(error, MessageIcon::Error);
        return EXIT_CANNOT_TRANSFER;
    }
    QStringList files;
    if (info.sourceName.isEmpty()) {
        for (const QString& file : info.files)
            files << QFileInfo(file).absoluteFilePath();
        if (!document.TransferFromCommandLine(target, files))
            return CannotSendTo(info.targetName);
    } else {
        auto* source = dynamic_cast<CVideoDVDSrcDev*>(document.FindDevice(info.sourceName, DIRECTION_SOURCE));
        const QString dvdError = source ? PrepareDvdTitles(source, info) : QStringLiteral("Unknown source.");
        if (!dvdError.isEmpty()) {
            ShowMessage(dvdError, MessageIcon::Error);
            return EXIT_CANNOT_TRANSFER;
        }
        files = info.files;
        if (!document.QueueTasks(source, &files, target))
            return CannotSendTo(info.targetName);
    }
    if (const int stopped = RunQueueUnattended(document, info.jsonProgress))
        return stopped;
    return document.Tally().transferred == files.size() ? EXIT_ALL_TRANSFERRED : EXIT_SOME_NOT_TRANSFERRED;
}
