// What /sys/block says about the disk a block device belongs to.
#pragma once

#include <string>

struct DiskKind {
    bool removable = false;
    bool optical = false;
};

// The disk holding `device` ("/dev/sdb1" -> sdb, "/dev/sdc" -> sdc,
// "/dev/nvme0n1p2" -> nvme0n1), read from the tree at `sysBlock`:
// - removable: its "removable" attribute is 1, or it hangs off a USB bus;
// - optical: its name starts with "sr", or its SCSI device type is 5.
// A device the tree does not know is neither (unless named like an optical drive).
DiskKind DescribeDisk(const std::string& sysBlock, const std::string& device);
