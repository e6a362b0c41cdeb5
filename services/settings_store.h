// The per-user profile of the application: a few values kept between runs,
// in "Orvex/Orvex Tavimo.conf" under the settings folder. Sections and
// values keep the names the registry profile used ("General"/"UpdateCheck").
// A missing value reads as its default; nothing here fails visibly.
// User-interface thread only.
#pragma once

#include <QString>

inline constexpr const char* kGeneralSection = "General";
inline constexpr const char* kUpdateCheckEntry = "UpdateCheck";
// Not written by the program: where the update check looks for its manifest.
inline constexpr const char* kUpdateServerEntry = "UpdateServer";
// One value per device display name; 0 hides the device's tab and page.
inline constexpr const char* kDevicesSection = "Devices";
// Seconds a transfer may show neither progress nor an event before it fails.
inline constexpr const char* kTaskStallEntry = "TaskStallSeconds";
inline constexpr int kDefaultTaskStallSeconds = 120;
// Not written by the program: the video encoder's threads; 0 or none lets
// the encoder choose for the machine.
inline constexpr const char* kEncoderThreadsEntry = "EncoderThreads";

// The folder that plays the part of HKEY_CURRENT_USER\Software: the XDG
// config folder ($XDG_CONFIG_HOME, else ~/.config), read at each call.
QString SettingsFolder();

int GetProfileInt(const QString& section, const QString& entry, int defaultValue);
void WriteProfileInt(const QString& section, const QString& entry, int value);
QString GetProfileString(const QString& section, const QString& entry, const QString& defaultValue);
void WriteProfileString(const QString& section, const QString& entry, const QString& value);

// "General"/"UpdateCheck", default 1.
int ReadUpdateCheckSetting();
void WriteUpdateCheckSetting(int value);
// The menu switch "Check for Updates on Start": the other state of
// `updateCheck`, written at once.
int ToggleUpdateCheckSetting(int updateCheck);
// "Devices"/<name>, default 1: whether the main view shows the device.
bool IsDeviceShown(const QString& deviceName);
