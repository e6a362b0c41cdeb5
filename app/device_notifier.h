// Where the main frame hears about drives coming and going: the udev block
// device monitor once ListenToDrives() ran, and whoever emits deviceChange
// (tests). The frame turns the notices into the document's arrival and
// removal broadcasts. User-interface thread only.
#pragma once

#include <QObject>
#include <memory>

class BlockDeviceMonitor;
class QSocketNotifier;

class CDeviceNotifier final : public QObject {
    Q_OBJECT

public:
    // The notice kinds, by the values the frame has always switched on.
    enum Event : int { DeviceArrival = 0x8000, DeviceRemoveComplete = 0x8004 };

    CDeviceNotifier();
    ~CDeviceNotifier() override;

    // Starts the udev monitor; a machine without udev stays quiet.
    void ListenToDrives();

signals:
    void deviceChange(int event);

private:
    void ReadNotices();

    std::unique_ptr<BlockDeviceMonitor> m_monitor;
    QSocketNotifier* m_readable = nullptr;
};

// The process-wide notifier.
CDeviceNotifier& TheDeviceNotifier();
