// Orvex Tavimo: carries video and audio from a source device to a target device.
#include <QApplication>
#include <algorithm>
#include <cstdio>

#include "app/command_line.h"
#include "app/command_line_transfer.h"
#include "app/kestrel_app.h"
#include "app/media_engine.h"
#include "app/screenshots.h"
#include "res/string_table.h"
#include "pipeline/transcode_task.h"
#include "services/ffdshow_blacklist.h"
#include "services/settings_store.h"
#include "version.h"

namespace {

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The hidden "-screenshots=DIR" switch (scripts/screenshots); taken out of
// the arguments before the command line is parsed.
QString TakeScreenshotFolder(QStringList& arguments)
{
    const QString prefix = QStringLiteral("-screenshots=");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(prefix))
            return arguments.takeAt(i).mid(prefix.size());
    }
    return {};
}

// A task that is stuck fails after the configured time (at least a second).
void ApplyTransferSettings()
{
    const int seconds = GetProfileInt(kGeneralSection, kTaskStallEntry, kDefaultTaskStallSeconds);
    SetTaskStallLimit(std::chrono::seconds(std::max(seconds, 1)));
}

// Without a window system the program still runs, in the terminal.
void ChooseWindowSystem()
{
    const bool display = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (!display && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments = ArgumentsOf(argc, argv);
    const QString screenshotFolder = TakeScreenshotFolder(arguments);
    CExCommandLineInfo info;
    info.Parse(arguments);
    if (info.showVersion) {
        std::printf("%s %s\n", kApplicationName, kApplicationVersion);
        return 0;
    }
    if (info.showHelp) {
        std::printf("%s", qPrintable(CommandLineUsage()));
        return 0;
    }
    if (!info.error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(info.error), qPrintable(CommandLineUsage()));
        return EXIT_CANNOT_TRANSFER;
    }
    ChooseWindowSystem();
    QApplication application(argc, argv);
    QApplication::setApplicationName(AppName());
    QApplication::setApplicationVersion(QString::fromLatin1(kApplicationVersion));
    StartMediaEngine();
    ApplyTransferSettings();
    AddToFfdshowBlacklist();
    if (!info.targetName.isEmpty())
        return RunCommandLineTransfer(info);
    if (!screenshotFolder.isEmpty())
        return SaveScreenshots(screenshotFolder);
    CKestrelApp app;
    app.InitInstance();
    return application.exec();
}
