#include "services/settings_store.h"

#include <QSettings>
#include <QStandardPaths>

#include "res/string_table.h"
#include "services/registry_mapping.h"

namespace {

QString ProfileKey()
{
    return QStringLiteral("Software\\Orvex\\") + AppName();
}

QString ValueKey(const QString& section, const QString& entry)
{
    return section + QLatin1Char('/') + entry;
}

}  // namespace

QString SettingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

int GetProfileInt(const QString& section, const QString& entry, int defaultValue)
{
    const QSettings profile(KeyFilePath(ProfileKey()), QSettings::IniFormat);
    const auto number = DwordFromValue(profile.value(ValueKey(section, entry)));
    return number ? static_cast<int>(*number) : defaultValue;
}

void WriteProfileInt(const QString& section, const QString& entry, int value)
{
    QSettings profile(KeyFilePath(ProfileKey()), QSettings::IniFormat);
    profile.setValue(ValueKey(section, entry), DwordValueText(static_cast<quint32>(value)));
}

QString GetProfileString(const QString& section, const QString& entry, const QString& defaultValue)
{
    const QSettings profile(KeyFilePath(ProfileKey()), QSettings::IniFormat);
    const QVariant value = profile.value(ValueKey(section, entry));
    return value.isValid() && !IsDwordValue(value) ? value.toString() : defaultValue;
}

void WriteProfileString(const QString& section, const QString& entry, const QString& value)
{
    QSettings profile(KeyFilePath(ProfileKey()), QSettings::IniFormat);
    profile.setValue(ValueKey(section, entry), value);
}

int ReadUpdateCheckSetting()
{
    return GetProfileInt(kGeneralSection, kUpdateCheckEntry, 1);
}

void WriteUpdateCheckSetting(int value)
{
    WriteProfileInt(kGeneralSection, kUpdateCheckEntry, value);
}

int ToggleUpdateCheckSetting(int updateCheck)
{
    const int toggled = updateCheck ? 0 : 1;
    WriteUpdateCheckSetting(toggled);
    return toggled;
}

bool IsDeviceShown(const QString& deviceName)
{
    return GetProfileInt(kDevicesSection, deviceName, 1) != 0;
}
