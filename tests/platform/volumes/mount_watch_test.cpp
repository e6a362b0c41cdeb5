#include "platform/volumes/mount_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/volumes/fake_machine.h"
#include "tests/support/temp_folder.h"

namespace {

using volumes_testing::FakeMachine;

const std::vector<volumes_testing::FakeDisk> kDisks = {
    {"sda", "0", {"sda1", "sda2"}},
    {"sdb", "1", {"sdb1"}},
    {"sdc", "1", {"sdc1"}},
    {"sr0", "1", {}, "5"},
};

const std::string kRoot = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw";
const std::string kInternal = "27 22 8:2 / /data rw,relatime shared:2 - ext4 /dev/sda2 rw";
const std::string kTmpfs = "30 22 0:50 / /run/user/1000 rw,nosuid shared:20 - tmpfs tmpfs rw,size=812k";
const std::string kStick = "40 22 8:17 / /media/anna/STICK rw,nosuid shared:50 - vfat /dev/sdb1 rw";
const std::string kStickReadOnly = "40 22 8:17 / /media/anna/STICK ro,nosuid shared:50 - vfat /dev/sdb1 ro";
const std::string kStickElsewhere = "41 22 8:17 / /mnt/stick rw shared:51 - vfat /dev/sdb1 rw";
const std::string kStickFolderBound = "42 22 8:17 /videos /home/anna/videos rw shared:50 - vfat /dev/sdb1 rw";
const std::string kOtherStick = "43 22 8:33 / /media/anna/OTHER rw,nosuid shared:52 - exfat /dev/sdc1 rw";
const std::string kDisc = "44 22 11:0 / /media/anna/DVD_VIDEO ro,nosuid shared:60 - udf /dev/sr0 ro";

std::vector<std::string> MountPoints(const std::vector<MountedVolume>& volumes)
{
    std::vector<std::string> points;
    for (const MountedVolume& volume : volumes)
        points.push_back(volume.mountPoint);
    return points;
}

TEST(MountWatch, ReportsRemovableAndOpticalVolumesThatCameOrWent)
{
    struct Case {
        const char* what;
        std::vector<std::string> before, after;
        std::vector<std::string> arrived, removed;
    };
    const Case cases[] = {
        {"stick mounted", {kRoot}, {kRoot, kStick}, {"/media/anna/STICK"}, {}},
        {"stick unmounted", {kRoot, kStick}, {kRoot}, {}, {"/media/anna/STICK"}},
        {"disc mounted", {kRoot}, {kRoot, kDisc}, {"/media/anna/DVD_VIDEO"}, {}},
        {"disc unmounted", {kRoot, kDisc, kStick}, {kRoot, kStick}, {}, {"/media/anna/DVD_VIDEO"}},
        {"internal disk mounted", {kRoot}, {kRoot, kInternal}, {}, {}},
        {"internal disk unmounted", {kRoot, kInternal, kStick}, {kRoot, kStick}, {}, {}},
        {"tmpfs mounted", {kRoot, kStick}, {kRoot, kStick, kTmpfs}, {}, {}},
        {"stick remounted read-only", {kRoot, kStick}, {kRoot, kStickReadOnly}, {}, {}},
        {"folder of the stick bound elsewhere", {kRoot, kStick}, {kRoot, kStick, kStickFolderBound}, {}, {}},
        {"stick moved", {kRoot, kStick}, {kRoot, kStickElsewhere}, {"/mnt/stick"}, {"/media/anna/STICK"}},
        {"one stick for another", {kRoot, kStick}, {kRoot, kOtherStick}, {"/media/anna/OTHER"}, {"/media/anna/STICK"}},
        {"two at once", {kRoot}, {kRoot, kDisc, kOtherStick}, {"/media/anna/DVD_VIDEO", "/media/anna/OTHER"}, {}},
        {"garbled table", {kRoot, kStick}, {"40 22 8:17 garbage", "\x01\x02 - -"}, {}, {"/media/anna/STICK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMachine machine(kDisks);
        MountWatch watch(machine.Sources(c.before));
        machine.Sources(c.after);
        const MountChanges changes = watch.Reread();
        EXPECT_EQ(MountPoints(changes.arrived), c.arrived);
        EXPECT_EQ(MountPoints(changes.removed), c.removed);

        // A change is told once.
        const MountChanges again = watch.Reread();
        EXPECT_TRUE(again.arrived.empty());
        EXPECT_TRUE(again.removed.empty());
    }
}

TEST(MountWatch, DescribesTheVolumesThatArrive)
{
    FakeMachine machine(kDisks);
    MountWatch watch(machine.Sources({kRoot}));
    machine.Sources({kRoot, kDisc});
    const MountChanges changes = watch.Reread();
    ASSERT_EQ(changes.arrived.size(), 1u);
    EXPECT_EQ(changes.arrived[0].device, "/dev/sr0");
    EXPECT_EQ(changes.arrived[0].label, "DVD_VIDEO");
    EXPECT_TRUE(changes.arrived[0].optical);
}

TEST(MountWatch, HasADescriptorOnlyForATableThatOpens)
{
    FakeMachine machine(kDisks);
    const MountWatch present(machine.Sources({kRoot}));
    EXPECT_GE(present.FileDescriptor(), 0);

    testing_files::TempFolder folder;
    const MountWatch missing({folder.File("no-mountinfo"), folder.File("no-sys-block")});
    EXPECT_EQ(missing.FileDescriptor(), -1);
}

}  // namespace
