#include "services/ffdshow_blacklist.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "services/registry.h"
#include "services/registry_mapping.h"

namespace {
constexpr const char* kFfdshowKey = "Software\\GNU\\ffdshow";
constexpr const char* kBlacklistValue = "blacklist";
}  // namespace

QString ProgramFileName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

void AddToFfdshowBlacklist(const QString& programFileName)
{
    // ffdshow is a Windows codec pack: its key exists here only where
    // somebody made it, and opening the key would create its file.
    if (!QFileInfo::exists(KeyFilePath(QString::fromLatin1(kFfdshowKey))))
        return;
    CRegistry key;
    if (key.Open(QString::fromLatin1(kFfdshowKey), false) != ERROR_SUCCESS)
        return;
    const QString blacklist = key.GetString(QString::fromLatin1(kBlacklistValue), QString());
    // An empty list means ffdshow does not use one; starting one would
    // change its behaviour for every other program.
    if (blacklist.isEmpty() || blacklist.contains(programFileName))
        return;
    key.SetString(QString::fromLatin1(kBlacklistValue), blacklist + programFileName + QLatin1Char(';'));
}
