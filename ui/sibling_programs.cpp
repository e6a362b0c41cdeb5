#include "ui/sibling_programs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <initializer_list>

#include "ui/wait_cursor.h"

namespace {

// The first of the names that is an executable file beside the program.
QString FindSibling(std::initializer_list<const char*> names)
{
    const QDir folder(QCoreApplication::applicationDirPath());
    for (const char* name : names) {
        const QString program = folder.filePath(QLatin1String(name));
        if (QFileInfo(program).isExecutable())
            return program;
    }
    return {};
}

bool StartSibling(const QString& program, const QString& file)
{
    CWaitCursor wait;
    return QProcess::startDetached(program, file.isEmpty() ? QStringList() : QStringList{file});
}

}  // namespace

bool LaunchVideoEditor(const QString& file)
{
    const QString editor = FindSibling({"Montara", "montara", "Montara.exe"});
    return !editor.isEmpty() && StartSibling(editor, file);
}

bool PlayMediaFile(const QString& file)
{
    const QString player = FindSibling({"Plavex", "plavex", "Plavex.exe"});
    if (!player.isEmpty())
        return StartSibling(player, file);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}
