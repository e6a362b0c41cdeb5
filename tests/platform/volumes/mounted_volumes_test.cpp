#include "platform/volumes/mounted_volumes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/volumes/mount_table.h"
#include "tests/platform/volumes/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

using testing_files::TempFolder;
using volumes_testing::FakeDisk;
using volumes_testing::FakeMachine;

TEST(UnescapeMountField, TurnsOctalEscapesIntoBytesAndLeavesTheRest)
{
    struct Case {
        const char* field;
        std::string expected;
    };
    const Case cases[] = {
        {"/media/anna/My\\040Stick", "/media/anna/My Stick"},
        {"tab\\011newline\\012", "tab\tnewline\n"},
        {"back\\134slash", "back\\slash"},
        {"\\040\\040", "  "},
        {"short\\04", "short\\04"},
        {"not\\089octal", "not\\089octal"},
        {"plain", "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnescapeMountField(c.field), c.expected) << c.field;
}

TEST(ParseMountInfoLine, FindsTheFieldsAroundAnyNumberOfOptionalOnes)
{
    struct Case {
        const char* line;
        std::optional<MountEntry> expected;
    };
    const Case cases[] = {
        {"36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue",
         MountEntry{"/mnt1", "/mnt2", "ext3", "/dev/root"}},
        {"22 1 8:1 / / rw - ext4 /dev/sda1 rw", MountEntry{"/", "/", "ext4", "/dev/sda1"}},
        {"40 22 8:17 / /media/a\\040b rw shared:5 master:2 propagate_from:1 - vfat /dev/sdb1 rw",
         MountEntry{"/", "/media/a b", "vfat", "/dev/sdb1"}},
        {"22 1 8:1 / / rw ext4 /dev/sda1 rw", std::nullopt},
        {"22 1 8:1 / / rw - ext4", std::nullopt},
        {"22 1 8:1 /", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto entry = ParseMountInfoLine(c.line);
        ASSERT_EQ(entry.has_value(), c.expected.has_value());
        if (!entry)
            continue;
        EXPECT_EQ(entry->root, c.expected->root);
        EXPECT_EQ(entry->mountPoint, c.expected->mountPoint);
        EXPECT_EQ(entry->fsType, c.expected->fsType);
        EXPECT_EQ(entry->source, c.expected->source);
    }
}

TEST(ReadMountTable, ReadsUpToTheBoundAndLeavesOutTheLineItCuts)
{
    const std::string first = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n";
    // Cut at the bound, this line would still parse, with a wrong source.
    const std::string cutHead = "40 22 8:17 / /media/anna/STICK rw - vfat /dev/sd";
    const std::string filler(kMaxMountTableBytes - first.size() - cutHead.size() - 1, 'x');
    TempFolder folder;
    testing_files::WriteFileBytes(folder.File("mountinfo"),
                                  first + filler + "\n" + cutHead + "b1 rw\n" + "41 22 8:33 / /m rw - vfat /dev/sdc1 rw\n");

    const auto entries = ReadMountTable(folder.File("mountinfo"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].source, "/dev/sda1");
}

const std::vector<FakeDisk> kDisks = {
    {"sda", "0", {"sda1", "sda2"}},
    {"nvme0n1", "0", {"nvme0n1p1", "nvme0n1p2"}},
    {"sdb", "1", {"sdb1"}},
    {"sdc", "1", {}},
    {"sr0", "1", {}, "5"},
    {"sdd", "1", {"sdd1"}},
    {"sdf", "0", {"sdf1"}, "0", true},
    {"sdg", "0", {}, "5"},
    {"sdh", nullptr, {"sdh1"}},
};

struct MountCase {
    const char* what;
    std::string line;
    std::optional<MountedVolume> expected;  // nothing: left out
};

const std::vector<MountCase> kMounts = {
    {"internal root", "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro",
     MountedVolume{"/", "/dev/sda1", "/", false, false}},
    {"proc", "23 22 0:21 / /proc rw,nosuid,nodev,noexec shared:12 - proc proc rw", std::nullopt},
    {"sysfs", "24 22 0:22 / /sys rw,nosuid shared:7 - sysfs sysfs rw", std::nullopt},
    {"tmpfs", "25 22 0:23 / /run rw,nosuid shared:13 - tmpfs tmpfs rw,size=812k", std::nullopt},
    {"overlay", "26 22 0:24 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw,lowerdir=/a",
     std::nullopt},
    {"nvme partition", "27 22 259:2 / /home rw,relatime shared:2 - ext4 /dev/nvme0n1p2 rw",
     MountedVolume{"/home", "/dev/nvme0n1p2", "home", false, false}},
    {"snap image", "28 22 7:3 / /snap/core22/1122 ro,nodev shared:30 - squashfs /dev/loop3 ro", std::nullopt},
    {"usb stick partition", "40 22 8:17 / /media/anna/STICK rw,nosuid shared:50 - vfat /dev/sdb1 rw",
     MountedVolume{"/media/anna/STICK", "/dev/sdb1", "STICK", true, false}},
    {"bind mount of a folder", "41 22 8:17 /videos /home/anna/videos rw shared:50 - vfat /dev/sdb1 rw",
     std::nullopt},
    {"unpartitioned removable disk", "42 22 8:32 / /media/anna/WHOLE rw,nosuid - vfat /dev/sdc rw",
     MountedVolume{"/media/anna/WHOLE", "/dev/sdc", "WHOLE", true, false}},
    {"optical disc", "43 22 11:0 / /media/anna/DVD_VIDEO ro,nosuid shared:60 - udf /dev/sr0 ro",
     MountedVolume{"/media/anna/DVD_VIDEO", "/dev/sr0", "DVD_VIDEO", true, true}},
    {"space in the mount point", "44 22 8:49 / /media/anna/My\\040Stick rw - exfat /dev/sdd1 rw",
     MountedVolume{"/media/anna/My Stick", "/dev/sdd1", "My Stick", true, false}},
    {"disk missing from sys/block", "45 22 8:65 / /mnt/backup rw - ext4 /dev/sde1 rw",
     MountedVolume{"/mnt/backup", "/dev/sde1", "backup", false, false}},
    {"usb hard disk", "46 22 8:81 / /media/anna/Archive rw - ntfs3 /dev/sdf1 rw",
     MountedVolume{"/media/anna/Archive", "/dev/sdf1", "Archive", true, false}},
    {"optical drive by its device type", "47 22 8:96 / /media/anna/CD ro - iso9660 /dev/sdg ro",
     MountedVolume{"/media/anna/CD", "/dev/sdg", "CD", false, true}},
    {"disk without a removable attribute", "48 22 8:113 / /data rw - xfs /dev/sdh1 rw",
     MountedVolume{"/data", "/dev/sdh1", "data", false, false}},
    {"garbled line", "49 22 8:1 garbage", std::nullopt},
};

std::vector<std::string> Lines(const std::vector<MountCase>& cases)
{
    std::vector<std::string> lines;
    for (const auto& c : cases)
        lines.push_back(c.line);
    return lines;
}

TEST(ListMountedVolumes, KeepsBlockDeviceVolumesInOrderAndDescribesTheirDisks)
{
    FakeMachine machine(kDisks);
    const auto volumes = ListMountedVolumes(machine.Sources(Lines(kMounts)));

    size_t next = 0;
    for (const MountCase& c : kMounts) {
        SCOPED_TRACE(c.what);
        // A volume that should have been left out shifts every later one.
        if (!c.expected)
            continue;
        ASSERT_LT(next, volumes.size());
        const MountedVolume& volume = volumes[next++];
        EXPECT_EQ(volume.mountPoint, c.expected->mountPoint);
        EXPECT_EQ(volume.device, c.expected->device);
        EXPECT_EQ(volume.label, c.expected->label);
        EXPECT_EQ(volume.removable, c.expected->removable);
        EXPECT_EQ(volume.optical, c.expected->optical);
    }
    EXPECT_EQ(next, volumes.size());
}

TEST(ListRemovableDriveRoots, ListsRemovableNonOpticalMountPointsInOrder)
{
    FakeMachine machine(kDisks);
    EXPECT_EQ(ListRemovableDriveRoots(machine.Sources(Lines(kMounts))),
              (std::vector<std::string>{"/media/anna/STICK", "/media/anna/WHOLE", "/media/anna/My Stick",
                                        "/media/anna/Archive"}));
}

TEST(ListMountedVolumes, MissingMountTableMeansNoVolumes)
{
    TempFolder folder;
    EXPECT_TRUE(ListMountedVolumes({folder.File("no-mountinfo"), folder.File("no-sys-block")}).empty());
}

}  // namespace
