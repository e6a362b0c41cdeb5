#include "platform/volumes/block_device_monitor.h"

#include <libudev.h>

BlockDeviceNotice NoticeOfAction(const std::string& action, bool mediaChanged, bool ejectRequested)
{
    if (action == "add") return BlockDeviceNotice::Arrived;
    if (action == "remove") return BlockDeviceNotice::Removed;
    if (action == "change" && ejectRequested) return BlockDeviceNotice::Removed;
    if (action == "change" && mediaChanged) return BlockDeviceNotice::Arrived;
    return BlockDeviceNotice::None;
}

struct BlockDeviceMonitor::Udev {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;

    ~Udev()
    {
        if (monitor) udev_monitor_unref(monitor);
        if (context) udev_unref(context);
    }
};

BlockDeviceMonitor::BlockDeviceMonitor() : m_udev(std::make_unique<Udev>())
{
    m_udev->context = udev_new();
    if (!m_udev->context) return;
    udev_monitor* monitor = udev_monitor_new_from_netlink(m_udev->context, "udev");
    if (!monitor) return;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "block", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        return;
    }
    m_udev->monitor = monitor;
}

BlockDeviceMonitor::~BlockDeviceMonitor() = default;

bool BlockDeviceMonitor::IsListening() const
{
    return m_udev->monitor != nullptr;
}

int BlockDeviceMonitor::FileDescriptor() const
{
    return m_udev->monitor ? udev_monitor_get_fd(m_udev->monitor) : -1;
}

BlockDeviceNotice BlockDeviceMonitor::ReadNotice()
{
    if (!m_udev->monitor) return BlockDeviceNotice::None;
    // The monitor's socket is non-blocking: no device, no wait.
    udev_device* device = udev_monitor_receive_device(m_udev->monitor);
    if (!device) return BlockDeviceNotice::None;
    const char* action = udev_device_get_action(device);
    const bool mediaChanged = udev_device_get_property_value(device, "DISK_MEDIA_CHANGE") != nullptr;
    const bool ejectRequested = udev_device_get_property_value(device, "DISK_EJECT_REQUEST") != nullptr;
    const BlockDeviceNotice notice = NoticeOfAction(action ? action : "", mediaChanged, ejectRequested);
    udev_device_unref(device);
    return notice;
}
