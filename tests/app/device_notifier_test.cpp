#include "app/device_notifier.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/volumes/fake_machine.h"

namespace {

using volumes_testing::FakeMachine;

const std::string kRoot = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw";
const std::string kInternal = "27 22 8:2 / /data rw,relatime shared:2 - ext4 /dev/sda2 rw";
const std::string kStick = "40 22 8:17 / /media/anna/STICK rw,nosuid shared:50 - vfat /dev/sdb1 rw";
const std::string kStickReadOnly = "40 22 8:17 / /media/anna/STICK ro,nosuid shared:50 - vfat /dev/sdb1 ro";
const std::string kDisc = "44 22 11:0 / /media/anna/DVD_VIDEO ro,nosuid shared:60 - udf /dev/sr0 ro";

class DeviceNotifierTest : public testing::Test {
protected:
    DeviceNotifierTest()
    {
        QObject::connect(&notifier, &CDeviceNotifier::deviceChange, [this](int event) { heard.push_back(event); });
    }

    FakeMachine machine{{{"sda", "0", {"sda1", "sda2"}}, {"sdb", "1", {"sdb1"}}, {"sr0", "1", {}, "5"}}};
    CDeviceNotifier notifier;
    // Not a QList: comparing two empty ones hands memcmp a null pointer.
    std::vector<int> heard;
};

TEST_F(DeviceNotifierTest, MountsAndUnmountsOfDrivesReachTheListeners)
{
    constexpr int kArrival = CDeviceNotifier::DeviceArrival, kRemoval = CDeviceNotifier::DeviceRemoveComplete;
    struct Step {
        const char* what;
        std::vector<std::string> table;
        std::vector<int> expected;
    };
    const Step steps[] = {
        {"stick mounted", {kRoot, kStick}, {kArrival}},
        {"internal disk mounted", {kRoot, kStick, kInternal}, {}},
        {"stick remounted read-only", {kRoot, kStickReadOnly, kInternal}, {}},
        {"nothing changed", {kRoot, kStickReadOnly, kInternal}, {}},
        {"stick unmounted", {kRoot, kInternal}, {kRemoval}},
        {"disc mounted", {kRoot, kInternal, kDisc}, {kArrival}},
        {"internal disk unmounted", {kRoot, kDisc}, {}},
        {"disc unmounted, stick mounted", {kRoot, kStick}, {kRemoval, kArrival}},
    };
    notifier.ListenToMounts(machine.Sources({kRoot}));
    ASSERT_TRUE(heard.empty());  // what was mounted before is not news
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        heard.clear();
        machine.Sources(step.table);
        notifier.RereadMounts();
        EXPECT_EQ(heard, step.expected);
    }
}

TEST_F(DeviceNotifierTest, HearsNothingBeforeItListens)
{
    machine.Sources({kRoot, kStick});
    notifier.RereadMounts();
    EXPECT_TRUE(heard.empty());
}

}  // namespace
