#include "platform/volumes/block_device_monitor.h"

#include <gtest/gtest.h>

namespace {

TEST(BlockDeviceMonitor, TurnsUdevActionsIntoArrivalsAndRemovals)
{
    const struct {
        const char* action;
        bool mediaChanged, ejectRequested;
        BlockDeviceNotice notice;
    } cases[] = {
        {"add", false, false, BlockDeviceNotice::Arrived},
        {"remove", false, false, BlockDeviceNotice::Removed},
        {"change", true, false, BlockDeviceNotice::Arrived},  // a disc put in
        {"change", false, true, BlockDeviceNotice::Removed},  // the eject button
        {"change", false, false, BlockDeviceNotice::None},    // a partition table re-read
        {"bind", false, false, BlockDeviceNotice::None},
        {"", false, false, BlockDeviceNotice::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NoticeOfAction(c.action, c.mediaChanged, c.ejectRequested), c.notice) << c.action;
}

// Containers often have no udev netlink; the monitor then hears nothing
// and never blocks.
TEST(BlockDeviceMonitor, NeverBlocksWhenNothingHappened)
{
    BlockDeviceMonitor monitor;
    EXPECT_EQ(monitor.IsListening(), monitor.FileDescriptor() >= 0);
    EXPECT_EQ(monitor.ReadNotice(), BlockDeviceNotice::None);
}

}  // namespace
