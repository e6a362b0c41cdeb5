#include "app/command_line.h"

namespace {

// The text after "name=" when the switch is that one.
bool TakeValue(const QString& param, const QString& name, QString* value)
{
    if (!param.startsWith(name + u'='))
        return false;
    *value = param.mid(name.size() + 1);
    return true;
}

}  // namespace

void CExCommandLineInfo::Parse(const QStringList& arguments)
{
    bool switchesEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool last = i + 1 == arguments.size();
        if (!switchesEnded && argument == QLatin1String("--")) {
            switchesEnded = true;
        } else if (!switchesEnded && argument.size() > 1 && argument.startsWith(u'-')) {
            ParseParam(argument.mid(1), true, last);
        } else {
            ParseParam(argument, false, last);
        }
    }
    if (error.isEmpty() && !targetName.isEmpty() && files.isEmpty())
        error = sourceName.isEmpty() ? QStringLiteral("No files to send to %1.").arg(targetName)
                                     : QStringLiteral("No titles to send to %1.").arg(targetName);
    if (!error.isEmpty() || sourceName.isEmpty()) {
        if (error.isEmpty() && !drive.isEmpty())
            error = QStringLiteral("-drive is for -source=\"Video DVD\".");
        return;
    }
    if (sourceName != QLatin1String("Video DVD"))
        error = QStringLiteral("Unknown source: %1 (use \"Video DVD\").").arg(sourceName);
    else if (drive.isEmpty())
        error = QStringLiteral("-source=\"Video DVD\" needs -drive=PATH.");
    for (const QString& title : files) {
        bool number = false;
        if (error.isEmpty() && (title.toInt(&number) < 1 || !number))
            error = QStringLiteral("Titles are numbers from 1: %1").arg(title);
    }
}

void CExCommandLineInfo::ParseParam(const QString& param, bool flag, bool)
{
    if (!flag) {
        files << param;
        return;
    }
    // "sendto=" may stand anywhere in the switch, as it always could.
    const qsizetype sendTo = param.indexOf(QLatin1String("sendto="));
    QString value;
    if (sendTo >= 0) {
        targetName = param.mid(sendTo + 7);
    } else if (param == QLatin1String("-help") || param == QLatin1String("help") || param == QLatin1String("h")) {
        showHelp = true;
    } else if (param == QLatin1String("-version") || param == QLatin1String("version")) {
        showVersion = true;
    } else if (TakeValue(param, QStringLiteral("format"), &value)) {
        format = value.toLower();
    } else if (TakeValue(param, QStringLiteral("outdir"), &value)) {
        outputFolder = value;
    } else if (TakeValue(param, QStringLiteral("progress"), &value)) {
        jsonProgress = value == QLatin1String("json");
        if (!jsonProgress)
            error = QStringLiteral("Unknown progress format: %1 (use json).").arg(value);
    } else if (TakeValue(param, QStringLiteral("source"), &value)) {
        sourceName = value;
    } else if (TakeValue(param, QStringLiteral("drive"), &value)) {
        drive = value;
    } else if (TakeValue(param, QStringLiteral("audio"), &value)) {
        bool number = false;
        audio = value.toInt(&number);
        if (!number || audio < 1)
            error = QStringLiteral("The audio stream must be a number from 1: %1").arg(value);
    } else if (TakeValue(param, QStringLiteral("subtitles"), &value)) {
        bool number = false;
        subtitles = value.toInt(&number);
        if (!number || subtitles < 0)
            error = QStringLiteral("The subtitles must be a number from 1 (0: none): %1").arg(value);
    } else if (TakeValue(param, QStringLiteral("profile"), &value)) {
        bool number = false;
        profile = value.toInt(&number);
        if (!number || profile < 1)
            error = QStringLiteral("The profile must be a number from 1: %1").arg(value);
    } else if (error.isEmpty()) {
        error = QStringLiteral("Unknown switch: -%1").arg(param);
    }
}

QString CommandLineUsage()
{
    return QStringLiteral(
        "Usage: tavimo [-sendto=TARGET [-format=EXT] [-profile=N] [-outdir=DIR] [-progress=json] FILE...]\n"
        "       tavimo -source=\"Video DVD\" -drive=PATH [-audio=N] [-subtitles=N] -sendto=TARGET [...] TITLE...\n"
        "\n"
        "Without switches the main window opens. With -sendto the files are converted\n"
        "and sent to the target device named TARGET (\"My Computer\" or \"Netbook\"),\n"
        "then the program ends.\n"
        "\n"
        "  -sendto=TARGET  the target device, by its name\n"
        "  -format=EXT     My Computer's file format: mp4, wmv, wav, m4a or mp3\n"
        "  -profile=N      the format's profile N, counted from 1\n"
        "  -outdir=DIR     My Computer's folder (default: your videos folder)\n"
        "  -source=\"Video DVD\"  send the titles TITLE... (numbers from 1) of a video DVD\n"
        "  -drive=PATH     the DVD: an optical drive's mount point, a folder that\n"
        "                  holds VIDEO_TS, or the VIDEO_TS folder itself\n"
        "  -audio=N        the titles' audio stream N, from 1 (default: the first)\n"
        "  -subtitles=N    the titles' subtitle stream N, from 1 (default: none)\n"
        "  -progress=json  report on standard output, one JSON object per line\n"
        "                  (item, state, fraction, secondsLeft), also with a display\n"
        "  --help          this text\n"
        "  --version       the program's name and version\n"
        "\n"
        "Exit status: 0 when every file was transferred, 1 when any was refused or\n"
        "failed, 2 for a bad command line, an unknown or unavailable target, or a\n"
        "title or stream the DVD does not have.\n");
}
