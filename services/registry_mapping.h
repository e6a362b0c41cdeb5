// How registry keys and values map onto settings files. A key path under
// HKEY_CURRENT_USER ("Software\GNU\ffdshow") becomes the INI file
// "<settings folder>/GNU/ffdshow.conf": the settings folder plays the part of
// HKEY_CURRENT_USER\Software. Values sit at the top level of their file.
// Text values are stored as they are; DWORD values as "dword:xxxxxxxx" (the
// way a registry export writes them), so a number can be told from a text.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// The file that holds key `subKey` ("\" or "/" separate its parts).
QString KeyFilePath(const QString& subKey);

QString DwordValueText(quint32 value);
// The number in a "dword:" value, or in plain decimal text (as somebody may
// type into the file by hand); nothing for any other value.
std::optional<quint32> DwordFromValue(const QVariant& value);
bool IsDwordValue(const QVariant& value);
