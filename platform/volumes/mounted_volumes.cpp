#include "platform/volumes/mounted_volumes.h"

#include "platform/volumes/block_disk.h"
#include "platform/volumes/mount_table.h"

namespace {

// Block devices only. Squashfs images (snaps, live media) are read-only
// program images, not places to put media, and a root other than "/" is a
// bind mount of a folder that is already listed with its volume.
bool IsVolume(const MountEntry& entry)
{
    return entry.source.starts_with("/dev/") && entry.source.size() > 5 && entry.fsType != "squashfs" &&
           entry.root == "/";
}

// /dev/disk/by-label cannot be read from the sources given, and desktops
// mount removable drives at a folder named after their label anyway.
std::string LabelOf(const std::string& mountPoint)
{
    const size_t slash = mountPoint.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == mountPoint.size())
        return mountPoint;
    return mountPoint.substr(slash + 1);
}

}  // namespace

std::vector<MountedVolume> ListMountedVolumes(const VolumeSources& sources)
{
    std::vector<MountedVolume> volumes;
    for (const MountEntry& entry : ReadMountTable(sources.mountInfo)) {
        if (!IsVolume(entry))
            continue;
        const DiskKind kind = DescribeDisk(sources.sysBlock, entry.source);
        volumes.push_back({entry.mountPoint, entry.source, LabelOf(entry.mountPoint), kind.removable, kind.optical});
    }
    return volumes;
}

std::vector<std::string> ListRemovableDriveRoots(const VolumeSources& sources)
{
    std::vector<std::string> roots;
    for (const MountedVolume& volume : ListMountedVolumes(sources)) {
        if (volume.removable && !volume.optical)
            roots.push_back(volume.mountPoint);
    }
    return roots;
}
