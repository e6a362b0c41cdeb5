#include "targets/removable_drives.h"

#include <linux/magic.h>
#include <sys/statfs.h>

#include "platform/volumes/mounted_volumes.h"

namespace {
const QStringList* replacement = nullptr;
const DriveSpace* spaceReplacement = nullptr;
}  // namespace

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

bool QueryDriveSpace(const QString& folder, DriveSpace& space)
{
    if (spaceReplacement) {
        space = *spaceReplacement;
        return true;
    }
    struct statfs info {};
    if (statfs(folder.toLocal8Bit().constData(), &info) != 0)
        return false;
    // f_bavail: what a user may still write, without the root's reserve.
    space.freeBytes = static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_bsize);
    space.isFat = info.f_type == MSDOS_SUPER_MAGIC;
    return true;
}

ScopedDriveSpace::ScopedDriveSpace(const DriveSpace& space) : m_previous(spaceReplacement), m_space(space)
{
    spaceReplacement = &m_space;
}

ScopedDriveSpace::~ScopedDriveSpace()
{
    spaceReplacement = m_previous;
}
