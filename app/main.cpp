// Orvex Tavimo: carries video and audio from a source device to a target device.
#include <QApplication>
#include <cstdio>

#include "app/command_line.h"
#include "app/command_line_transfer.h"
#include "app/media_engine.h"
#include "res/string_table.h"
#include "version.h"

namespace {

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
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
    CExCommandLineInfo info;
    info.Parse(ArgumentsOf(argc, argv));
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
    if (!info.targetName.isEmpty())
        return RunCommandLineTransfer(info);
    std::printf("%s %s: the main window comes with the next build; use -sendto to transfer files.\n\n%s",
                kApplicationName, kApplicationVersion, qPrintable(CommandLineUsage()));
    return 0;
}
