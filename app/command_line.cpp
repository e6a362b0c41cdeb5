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
        error = QStringLiteral("No files to send to %1.").arg(targetName);
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
        "\n"
        "Without switches the main window opens. With -sendto the files are converted\n"
        "and sent to the target device named TARGET (\"My Computer\" or \"Netbook\"),\n"
        "then the program ends.\n"
        "\n"
        "  -sendto=TARGET  the target device, by its name\n"
        "  -format=EXT     My Computer's file format: mp4, wmv, wav, m4a or mp3\n"
        "  -profile=N      the format's profile N, counted from 1\n"
        "  -outdir=DIR     My Computer's folder (default: your videos folder)\n"
        "  -progress=json  report on standard output, one JSON object per line\n"
        "                  (item, state, fraction, secondsLeft), also with a display\n"
        "  --help          this text\n"
        "  --version       the program's name and version\n"
        "\n"
        "Exit status: 0 when every file was transferred, 1 when any was refused or\n"
        "failed, 2 for a bad command line or an unknown or unavailable target.\n");
}
