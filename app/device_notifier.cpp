#include "app/device_notifier.h"

#include <QSocketNotifier>

#include "platform/volumes/block_device_monitor.h"
#include "platform/volumes/mount_watch.h"

CDeviceNotifier::CDeviceNotifier() = default;

CDeviceNotifier::~CDeviceNotifier() = default;

void CDeviceNotifier::ListenToDrives()
{
    ListenToMounts(VolumeSources{});
    if (m_monitor)
        return;
    m_monitor = std::make_unique<BlockDeviceMonitor>();
    if (!m_monitor->IsListening())
        return;
    m_readable = new QSocketNotifier(m_monitor->FileDescriptor(), QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &CDeviceNotifier::ReadNotices);
}

void CDeviceNotifier::ListenToMounts(const VolumeSources& sources)
{
    if (m_mounts)
        return;
    m_mounts = std::make_unique<MountWatch>(sources);
    if (m_mounts->FileDescriptor() < 0)
        return;
    // The kernel flags a changed mount table as an exceptional condition, not as readable.
    auto* changed = new QSocketNotifier(m_mounts->FileDescriptor(), QSocketNotifier::Exception, this);
    connect(changed, &QSocketNotifier::activated, this, &CDeviceNotifier::RereadMounts);
}

void CDeviceNotifier::RereadMounts()
{
    if (!m_mounts)
        return;
    const MountChanges changes = m_mounts->Reread();
    for (size_t i = 0; i < changes.removed.size(); ++i)
        emit deviceChange(DeviceRemoveComplete);
    for (size_t i = 0; i < changes.arrived.size(); ++i)
        emit deviceChange(DeviceArrival);
}

void CDeviceNotifier::ReadNotices()
{
    for (;;) {
        switch (m_monitor->ReadNotice()) {
        case BlockDeviceNotice::Arrived:
            emit deviceChange(DeviceArrival);
            break;
        case BlockDeviceNotice::Removed:
            emit deviceChange(DeviceRemoveComplete);
            break;
        case BlockDeviceNotice::None:
            return;
        }
    }
}

CDeviceNotifier& TheDeviceNotifier()
{
    static CDeviceNotifier notifier;
    return notifier;
}
