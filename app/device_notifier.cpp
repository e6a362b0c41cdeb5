#include "app/device_notifier.h"

#include <QSocketNotifier>

#include "platform/volumes/block_device_monitor.h"

CDeviceNotifier::CDeviceNotifier() = default;

CDeviceNotifier::~CDeviceNotifier() = default;

void CDeviceNotifier::ListenToDrives()
{
    if (m_monitor)
        return;
    m_monitor = std::make_unique<BlockDeviceMonitor>();
    if (!m_monitor->IsListening())
        return;
    m_readable = new QSocketNotifier(m_monitor->FileDescriptor(), QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &CDeviceNotifier::ReadNotices);
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
