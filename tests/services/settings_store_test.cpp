// The profile: defaults when nothing is stored, values that survive a
// round trip, and values typed into the file by hand.
#include "services/settings_store.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "services/registry.h"
#include "services/update_server.h"
#include "tests/app/qstring_printer.h"
#include "tests/services/isolated_settings.h"
#include "version.h"

namespace {

using services_testing::IsolatedSettings;

const QString kProfileFile = QStringLiteral("Orvex/Orvex Tavimo.conf");

TEST(SettingsStoreTest, MissingValuesReadAsTheirDefaults)
{
    IsolatedSettings settings;
    EXPECT_EQ(ReadUpdateCheckSetting(), 1);
    EXPECT_TRUE(IsDeviceShown(QStringLiteral("Netbook")));
    EXPECT_EQ(GetProfileInt(QStringLiteral("General"), QStringLiteral("Missing"), -7), -7);
    EXPECT_EQ(UpdateServer(), QString::fromUtf8(kBuiltInUpdateServer));
    EXPECT_FALSE(QFile::exists(settings.ConfigFile(kProfileFile))) << "reading must not create the profile";
}

TEST(SettingsStoreTest, UpdateCheckSwitchedOffStaysOffInTheProfileFile)
{
    IsolatedSettings settings;
    WriteUpdateCheckSetting(0);
    EXPECT_TRUE(QFile::exists(settings.ConfigFile(kProfileFile)));
    EXPECT_EQ(ReadUpdateCheckSetting(), 0);
    WriteUpdateCheckSetting(1);
    EXPECT_EQ(ReadUpdateCheckSetting(), 1);
}

TEST(SettingsStoreTest, TheMenuSwitchFlipsTheStoredSetting)
{
    IsolatedSettings settings;
    const struct {
        int field;
        int toggled;
    } cases[] = {{1, 0}, {0, 1}, {5, 0}, {-1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ToggleUpdateCheckSetting(c.field), c.toggled) << c.field;
        EXPECT_EQ(ReadUpdateCheckSetting(), c.toggled) << c.field;
    }
}

TEST(SettingsStoreTest, IntegersRoundTripAcrossTheirWholeRange)
{
    IsolatedSettings settings;
    for (const int value : {0, 1, 42, -1, 2147483647, -2147483647 - 1}) {
        WriteProfileInt(QStringLiteral("General"), QStringLiteral("Number"), value);
        EXPECT_EQ(GetProfileInt(QStringLiteral("General"), QStringLiteral("Number"), 5), value);
    }
}

TEST(SettingsStoreTest, DeviceValuesTypedIntoTheFileHideThoseDevices)
{
    IsolatedSettings settings;
    {
        QSettings file(settings.ConfigFile(kProfileFile), QSettings::IniFormat);
        file.setValue(QStringLiteral("Devices/Netbook"), 0);
        file.setValue(QStringLiteral("Devices/My Computer"), QStringLiteral("0"));
        file.setValue(QStringLiteral("Devices/Video DVD"), 1);
        file.setValue(QStringLiteral("General/UpdateServer"), QStringLiteral("127.0.0.1:8080"));
    }
    EXPECT_FALSE(IsDeviceShown(QStringLiteral("Netbook")));
    EXPECT_FALSE(IsDeviceShown(QStringLiteral("My Computer")));
    EXPECT_TRUE(IsDeviceShown(QStringLiteral("Video DVD")));
    EXPECT_TRUE(IsDeviceShown(QStringLiteral("Audio CD")));
    EXPECT_EQ(UpdateServer(), QStringLiteral("127.0.0.1:8080"));
}

TEST(SettingsStoreTest, TextInPlaceOfANumberReadsAsTheDefault)
{
    IsolatedSettings settings;
    {
        QSettings file(settings.ConfigFile(kProfileFile), QSettings::IniFormat);
        file.setValue(QStringLiteral("General/UpdateCheck"), QStringLiteral("yes"));
    }
    EXPECT_EQ(ReadUpdateCheckSetting(), 1);
}

TEST(SettingsStoreTest, ProfileIsTheApplicationsRegistryKey)
{
    IsolatedSettings settings;
    WriteProfileInt(QStringLiteral("General"), QStringLiteral("UpdateCheck"), 0);
    CRegistry key;
    ASSERT_EQ(key.Open(QStringLiteral("Software\\Orvex\\Orvex Tavimo"), true), ERROR_SUCCESS);
    // A DWORD value is not text.
    EXPECT_EQ(key.GetString(QStringLiteral("General/UpdateCheck"), QStringLiteral("default")), QStringLiteral("default"));
    EXPECT_EQ(GetProfileString(QStringLiteral("General"), QStringLiteral("UpdateCheck"), QStringLiteral("x")),
              QStringLiteral("x"));
}

}  // namespace
