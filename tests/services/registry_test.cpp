// CRegistry over settings files: keys are created on open, text values
// round-trip, and anything that is not a short text reads as the default.
#include "services/registry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "services/registry_mapping.h"
#include "tests/app/qstring_printer.h"
#include "tests/services/isolated_settings.h"

namespace {

using services_testing::IsolatedSettings;

const QString kKey = QStringLiteral("Software\\GNU\\ffdshow");
const QString kName = QStringLiteral("blacklist");
const QString kDefault = QStringLiteral("<default>");

TEST(RegistryTest, KeyPathsMapToFilesBelowTheSettingsFolder)
{
    IsolatedSettings settings;
    const struct {
        QString key;
        QString file;
    } cases[] = {
        {QStringLiteral("Software\\GNU\\ffdshow"), QStringLiteral("GNU/ffdshow.conf")},
        {QStringLiteral("Software/GNU/ffdshow"), QStringLiteral("GNU/ffdshow.conf")},
        {QStringLiteral("\\software\\Orvex\\Orvex Tavimo"), QStringLiteral("Orvex/Orvex Tavimo.conf")},
        {QStringLiteral("Vendor\\Product"), QStringLiteral("Vendor/Product.conf")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyFilePath(c.key), settings.ConfigFile(c.file)) << c.key.toStdString();
}

TEST(RegistryTest, OpeningAMissingKeyCreatesItEvenForReading)
{
    for (const bool readOnly : {true, false}) {
        IsolatedSettings settings;
        CRegistry key;
        EXPECT_EQ(key.Open(kKey, readOnly), ERROR_SUCCESS);
        EXPECT_TRUE(QFile::exists(settings.ConfigFile(QStringLiteral("GNU/ffdshow.conf")))) << readOnly;
        EXPECT_EQ(key.GetString(kName, kDefault), kDefault);
    }
}

TEST(RegistryTest, OpenReportsWhyAKeyCannotBeCreated)
{
    IsolatedSettings settings;
    // A file where the key's folder belongs.
    QFile blocker(settings.ConfigFile(QStringLiteral("GNU")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CRegistry key;
    EXPECT_NE(key.Open(kKey, false), ERROR_SUCCESS);
    key.SetString(kName, QStringLiteral("ignored"));
    EXPECT_EQ(key.GetString(kName, kDefault), kDefault);
}

TEST(RegistryTest, TextValuesSurviveReopening)
{
    IsolatedSettings settings;
    const QString values[] = {QStringLiteral("a.exe;"), QStringLiteral("with, comma; and = sign"),
                              QStringLiteral("Ünïcödé §"), QString()};
    for (const QString& value : values) {
        {
            CRegistry key;
            ASSERT_EQ(key.Open(kKey, false), ERROR_SUCCESS);
            key.SetString(kName, value);
        }
        CRegistry key;
        ASSERT_EQ(key.Open(kKey, true), ERROR_SUCCESS);
        EXPECT_EQ(key.GetString(kName, kDefault), value);
    }
}

TEST(RegistryTest, ValuesThatAreNotShortTextReadAsTheDefault)
{
    IsolatedSettings settings;
    const struct {
        const char* what;
        QString stored;
        QString expected;
    } cases[] = {
        {"DWORD", DwordValueText(1), kDefault},
        {"longest text", QString(8191, QLatin1Char('x')), QString(8191, QLatin1Char('x'))},
        {"one character too long", QString(8192, QLatin1Char('x')), kDefault},
        {"text with a NUL", QStringLiteral("abc") + QChar(0) + QStringLiteral("def"), QStringLiteral("abc")},
    };
    for (const auto& c : cases) {
        CRegistry key;
        ASSERT_EQ(key.Open(kKey, false), ERROR_SUCCESS);
        key.SetString(kName, c.stored);
        EXPECT_EQ(key.GetString(kName, kDefault), c.expected) << c.what;
    }
}

TEST(RegistryTest, ReadOnlyKeysAreNotWritten)
{
    IsolatedSettings settings;
    CRegistry key;
    ASSERT_EQ(key.Open(kKey, true), ERROR_SUCCESS);
    key.SetString(kName, QStringLiteral("a.exe;"));
    CRegistry reader;
    ASSERT_EQ(reader.Open(kKey, true), ERROR_SUCCESS);
    EXPECT_EQ(reader.GetString(kName, kDefault), kDefault);
}

}  // namespace
