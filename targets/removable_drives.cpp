#include "targets/removable_drives.h"

#include "platform/volumes/mounted_volumes.h"

namespace {
const QStringList* replacement = nullptr;
}

QStringList ListRemovableDrives()
{
    if (replacement)
        return *replacement;
    QStringList drives;
    for (const std::string& root : ListRemovableDriveRoots())
        drives << QString::fromStdString(root);
    return drives;
}

ScopedRemovableDrives::ScopedRemovableDrives(const QStringList& drives) : m_previous(replacement), m_drives(drives)
{
    replacement = &m_drives;
}

ScopedRemovableDrives::~ScopedRemovableDrives()
{
    replacement = m_previous;
}
