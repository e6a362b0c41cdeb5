// Follows which removable and optical volumes are mounted, so that a drive
// counts as arrived once it can be written to, and as gone once it is
// unmounted ("safely removed"), whatever udev said about its block device.
//
// The kernel flags every change of /proc/self/mountinfo on an open
// descriptor of it with POLLPRI | POLLERR from poll() (the poll itself takes
// the flag down). The owner watches FileDescriptor() for that (poll, or a
// QSocketNotifier of type Exception) and then calls Reread(). Only the thread
// that made the watch may use it.
#pragma once

#include <vector>

#include "platform/volumes/mounted_volumes.h"

struct MountChanges {
    std::vector<MountedVolume> arrived;  // mounted since the last look
    std::vector<MountedVolume> removed;  // unmounted since the last look
};

class MountWatch {
public:
    // Takes the first look: what is mounted now is not a change.
    explicit MountWatch(VolumeSources sources = {});
    ~MountWatch();
    MountWatch(const MountWatch&) = delete;
    MountWatch& operator=(const MountWatch&) = delete;

    // -1 when the mount table cannot be opened; the watch then hears nothing,
    // but Reread() still works.
    int FileDescriptor() const;

    // Reads the mount table again and tells what differs from the last look,
    // each list in mount-table order. A volume is its device at its mount
    // point: a remount with other options is no change.
    MountChanges Reread();

private:
    VolumeSources m_sources;
    int m_fd = -1;                         // opened before the first look, so no change falls between
    std::vector<MountedVolume> m_mounted;  // removable or optical only
};
