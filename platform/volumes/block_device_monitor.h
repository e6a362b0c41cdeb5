// Hears block devices come and go (a USB stick plugged in, a disc put in
// or taken out) through a udev monitor. The owner watches FileDescriptor()
// for reading (a QSocketNotifier, poll) and calls ReadNotice() when it is
// readable. Only the thread that made the monitor may use it.
#pragma once

#include <memory>
#include <string>

enum class BlockDeviceNotice { None, Arrived, Removed };

// What a udev action on a block device means for the drives the program
// lists: "add" arrives, "remove" goes; a "change" that reports new or
// ejected media ("DISK_MEDIA_CHANGE" or "DISK_EJECT_REQUEST") counts as an
// arrival or a removal, any other change as nothing.
BlockDeviceNotice NoticeOfAction(const std::string& action, bool mediaChanged, bool ejectRequested);

class BlockDeviceMonitor {
public:
    // A monitor that hears nothing when udev cannot be reached (a container
    // without netlink): IsListening() is then false.
    BlockDeviceMonitor();
    ~BlockDeviceMonitor();
    BlockDeviceMonitor(const BlockDeviceMonitor&) = delete;
    BlockDeviceMonitor& operator=(const BlockDeviceMonitor&) = delete;

    bool IsListening() const;
    int FileDescriptor() const;  // -1 when not listening
    // The next notice waiting, or None; never blocks.
    BlockDeviceNotice ReadNotice();

private:
    struct Udev;
    std::unique_ptr<Udev> m_udev;
};
