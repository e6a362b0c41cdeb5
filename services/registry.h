// CRegistry: opens a key under HKEY_CURRENT_USER (a settings file, see
// registry_mapping.h) and reads and writes its text values. The program uses
// it to edit another product's key. User-interface thread only.
#pragma once

#include <QString>
#include <memory>

class QSettings;

inline constexpr long ERROR_SUCCESS = 0;

class CRegistry {
public:
    CRegistry();
    virtual ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // Opens `subKey`, creating it (an empty file) when it does not exist,
    // also for read-only access. ERROR_SUCCESS, or the errno that kept the
    // key from being created or opened.
    long Open(const QString& subKey, bool readOnly);
    // The text value `name`; the default when the key is not open, the value
    // is missing or is not text, or is longer than 8191 characters. A value
    // ends at its first NUL.
    QString GetString(const QString& name, const QString& defaultValue) const;
    // Writes a text value; ignored when the key is not open for writing.
    void SetString(const QString& name, const QString& value);

private:
    std::unique_ptr<QSettings> m_hKey;
    bool m_bReadOnly = true;
};
