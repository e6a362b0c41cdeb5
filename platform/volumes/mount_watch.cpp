#include "platform/volumes/mount_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace {

// Internal disks do not come and go while the program runs, and are not
// drives the program offers.
std::vector<MountedVolume> MountedDrives(const VolumeSources& sources)
{
    std::vector<MountedVolume> drives = ListMountedVolumes(sources);
    std::erase_if(drives, [](const MountedVolume& volume) { return !volume.removable && !volume.optical; });
    return drives;
}

// Those of `volumes` that `others` does not hold.
std::vector<MountedVolume> Missing(const std::vector<MountedVolume>& volumes, const std::vector<MountedVolume>& others)
{
    std::vector<MountedVolume> missing;
    for (const MountedVolume& volume : volumes) {
        const bool held = std::ranges::any_of(others, [&](const MountedVolume& other) {
            return other.device == volume.device && other.mountPoint == volume.mountPoint;
        });
        if (!held)
            missing.push_back(volume);
    }
    return missing;
}

}  // namespace

MountWatch::MountWatch(VolumeSources sources)
    : m_sources(std::move(sources)), m_fd(::open(m_sources.mountInfo.c_str(), O_RDONLY | O_CLOEXEC)),
      m_mounted(MountedDrives(m_sources))
{
}

MountWatch::~MountWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int MountWatch::FileDescriptor() const
{
    return m_fd;
}

MountChanges MountWatch::Reread()
{
    std::vector<MountedVolume> now = MountedDrives(m_sources);
    MountChanges changes{Missing(now, m_mounted), Missing(m_mounted, now)};
    m_mounted = std::move(now);
    return changes;
}
