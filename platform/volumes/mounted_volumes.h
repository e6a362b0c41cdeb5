// The volumes mounted on this machine, and which of them are removable
// drives (what a netbook's USB stick shows up as).
//
// Read from a mount table in the format of /proc/self/mountinfo and the
// block-device attributes under /sys/block; both places can be given, so
// tests describe a machine with files in a temporary folder.
#pragma once

#include <string>
#include <vector>

struct MountedVolume {
    std::string mountPoint;  // "/media/anna/STICK", unescaped
    std::string device;      // "/dev/sdb1"
    std::string label;       // the volume label, or the mount point's last segment
    bool removable = false;  // its disk is removable (or on USB)
    bool optical = false;    // its disk is an optical drive
};

struct VolumeSources {
    std::string mountInfo = "/proc/self/mountinfo";
    std::string sysBlock = "/sys/block";
};

// Every mounted block-device volume, in mount-table order. Pseudo file
// systems (proc, sysfs, tmpfs, overlay without a device...) are left out.
// So are squashfs images (snaps, live media: read-only program images) and
// bind mounts of a folder (the volume itself is listed where it is mounted).
// The label is the mount point's last segment, which is what desktops name
// a removable drive's folder after; "/" is its own label.
std::vector<MountedVolume> ListMountedVolumes(const VolumeSources& sources = {});

// The mount points of the removable, non-optical volumes, in mount-table order.
std::vector<std::string> ListRemovableDriveRoots(const VolumeSources& sources = {});
