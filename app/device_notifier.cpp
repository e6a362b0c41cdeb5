#include "app/device_notifier.h"

#include <QSocketNotifier>

#include "platform/volumes/block_device_monitor.h"

CDeviceNotifier::CDeviceNotifier() = default;

CDeviceNotifier::~CDeviceNotifier() = default;

void CDeviceNotifier::ListenToDrives()
{
    if (monitor_)
        return;
    monitor_ = std::make_unique<BlockDeviceMonitor>();
    if (!monitor_->IsListening())
        return;
    readable_ = new QSocketNotifier(monitor_->FileDescriptor(), QSocketNotifier::Read, this);
    connect(readable_, &QSocketNotifier::activated, this, &CDeviceNotifier::ReadNotices);
}

void CDeviceNotifier::ReadNotices()
{
    for (;;) {
        switch (monitor_->ReadNotice()) {
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
