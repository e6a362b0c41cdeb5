// The ffdshow blacklist gains the program's name once, and only when
// ffdshow keeps a list at all: without its settings file nothing is written.
#include "services/ffdshow_blacklist.h"

#include <gtest/gtest.h>

#include <QDir>

#include "services/registry.h"
#include "tests/app/qstring_printer.h"
#include "tests/services/isolated_settings.h"

namespace {

using services_testing::IsolatedSettings;

const QString kKey = QStringLiteral("Software\\GNU\\ffdshow");
const QString kProgram = QStringLiteral("tavimo");

void StoreBlacklist(const QString& value)
{
    CRegistry key;
    ASSERT_EQ(key.Open(kKey, false), ERROR_SUCCESS);
    key.SetString(QStringLiteral("blacklist"), value);
}

QString Blacklist()
{
    CRegistry key;
    key.Open(kKey, true);
    return key.GetString(QStringLiteral("blacklist"), QStringLiteral("<none>"));
}

TEST(FfdshowBlacklistTest, ListsGainTheProgramOnlyWhenTheyLackIt)
{
    const struct {
        QString before;
        QString after;
    } cases[] = {
        {QStringLiteral("a.exe;"), QStringLiteral("a.exe;tavimo;")},
        {QStringLiteral("a.exe"), QStringLiteral("a.exetavimo;")},
        {QStringLiteral("a.exe;tavimo;b.exe;"), QStringLiteral("a.exe;tavimo;b.exe;")},
        // Any occurrence counts, even inside another name.
        {QStringLiteral("mytavimo2;"), QStringLiteral("mytavimo2;")},
        // The test is case-sensitive.
        {QStringLiteral("TAVIMO;"), QStringLiteral("TAVIMO;tavimo;")},
        // An empty list is not a list: left as it is.
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        IsolatedSettings settings;
        StoreBlacklist(c.before);
        AddToFfdshowBlacklist(kProgram);
        EXPECT_EQ(Blacklist(), c.after) << c.before.toStdString();
    }
}

TEST(FfdshowBlacklistTest, RunningTwiceAddsTheProgramOnce)
{
    IsolatedSettings settings;
    StoreBlacklist(QStringLiteral("a.exe;"));
    AddToFfdshowBlacklist(kProgram);
    AddToFfdshowBlacklist(kProgram);
    EXPECT_EQ(Blacklist(), QStringLiteral("a.exe;tavimo;"));
}

TEST(FfdshowBlacklistTest, WithoutASettingsFileNothingIsWritten)
{
    IsolatedSettings settings;
    AddToFfdshowBlacklist(kProgram);
    EXPECT_TRUE(QDir(settings.Folder("config")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST(FfdshowBlacklistTest, TheProgramIsNamedByItsFileName)
{
    const QString name = ProgramFileName();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_FALSE(name.contains(QLatin1Char('/')));
    EXPECT_EQ(name, QStringLiteral("services_tests"));
}

}  // namespace
