#include "services/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "services/registry_mapping.h"

namespace {

// The value buffer holds 8192 characters, the terminating NUL among them.
constexpr qsizetype kMaxValueLength = 8191;

// Creates the key's file (and its folders) unless it is there; 0 or errno.
long CreateKeyFile(const QString& path, bool readOnly)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return EACCES;
    const QByteArray name = QFile::encodeName(path);
    const int file = ::open(name.constData(), (readOnly ? O_RDONLY : O_RDWR) | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0)
        return errno;
    ::close(file);
    return ERROR_SUCCESS;
}

}  // namespace

CRegistry::CRegistry() = default;

CRegistry::~CRegistry() = default;

long CRegistry::Open(const QString& subKey, bool readOnly)
{
    m_hKey.reset();
    const QString path = KeyFilePath(subKey);
    const long result = CreateKeyFile(path, readOnly);
    if (result != ERROR_SUCCESS)
        return result;
    m_hKey = std::make_unique<QSettings>(path, QSettings::IniFormat);
    m_bReadOnly = readOnly;
    return ERROR_SUCCESS;
}

QString CRegistry::GetString(const QString& name, const QString& defaultValue) const
{
    if (!m_hKey)
        return defaultValue;
    const QVariant value = m_hKey->value(name);
    if (!value.isValid() || IsDwordValue(value) || value.userType() != QMetaType::QString)
        return defaultValue;
    QString text = value.toString();
    if (text.size() > kMaxValueLength)
        return defaultValue;
    const qsizetype end = text.indexOf(QChar(0));
    return end < 0 ? text : text.left(end);
}

void CRegistry::SetString(const QString& name, const QString& value)
{
    if (m_hKey && !m_bReadOnly)
        m_hKey->setValue(name, value);
}
