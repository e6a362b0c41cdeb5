// Points the settings folder (XDG_CONFIG_HOME) and the temporary folder
// (TMPDIR) of the program into a test's own folder, and back afterwards.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QString>

#include "tests/support/temp_folder.h"

namespace services_testing {

class ScopedVariable {
public:
    ScopedVariable(const char* name, const QString& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedVariable()
    {
        if (had_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray previous_;
};

class IsolatedSettings {
public:
    IsolatedSettings()
        : config_("XDG_CONFIG_HOME", Folder("config")), temp_("TMPDIR", Folder("tmp"))
    {
    }

    QString Folder(const char* name) const
    {
        const QString path = QDir(QString::fromStdString(folder_.Path().string())).filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    }
    QString ConfigFile(const QString& relativePath) const { return QDir(Folder("config")).filePath(relativePath); }
    // Sends the update check to "127.0.0.1:<port>".
    void UseLocalUpdateServer(int port) const { UseUpdateServer(QStringLiteral("127.0.0.1:%1").arg(port)); }
    // The profile's "General"/"UpdateServer" as a user would type it.
    void UseUpdateServer(const QString& server) const
    {
        QSettings profile(ConfigFile(QStringLiteral("Orvex/Orvex Tavimo.conf")), QSettings::IniFormat);
        profile.setValue(QStringLiteral("General/UpdateServer"), server);
    }

private:
    testing_files::TempFolder folder_;
    ScopedVariable config_;
    ScopedVariable temp_;
};

}  // namespace services_testing
