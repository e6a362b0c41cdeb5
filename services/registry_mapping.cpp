#include "services/registry_mapping.h"

#include <QDir>

#include "services/settings_store.h"

namespace {
const QString kDwordPrefix = QStringLiteral("dword:");
}  // namespace

QString KeyFilePath(const QString& subKey)
{
    QString path = QString(subKey).replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    if (path.startsWith(QLatin1String("Software/"), Qt::CaseInsensitive))
        path.remove(0, 9);
    return QDir(SettingsFolder()).filePath(path + QLatin1String(".conf"));
}

QString DwordValueText(quint32 value)
{
    return kDwordPrefix + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0'));
}

bool IsDwordValue(const QVariant& value)
{
    return value.toString().startsWith(kDwordPrefix);
}

std::optional<quint32> DwordFromValue(const QVariant& value)
{
    const QString text = value.toString();
    bool ok = false;
    const quint32 number = IsDwordValue(value) ? text.mid(kDwordPrefix.size()).toUInt(&ok, 16) : text.toUInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return number;
}
