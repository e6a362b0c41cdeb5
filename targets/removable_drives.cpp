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

ScopedRemovableDrives::ScopedRemovableDrives(const QStringList& drives) : previous_(replacement), drives_(drives)
{
    replacement = &drives_;
}

ScopedRemovableDrives::~ScopedRemovableDrives()
{
    replacement = previous_;
}
