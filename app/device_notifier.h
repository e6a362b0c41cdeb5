// Where the main frame hears about drives coming and going, once
// ListenToDrives() ran: the udev block device monitor (a disc put in, a device
// plugged in or pulled out) and the mount table (a volume mounted or
// unmounted, so that the drive lists agree with what can be written), and
// whoever emits deviceChange (tests). The frame turns the notices into the
// document's arrival and removal broadcasts. User-interface thread only.
#pragma once

#include <QObject>
#include <memory>

#include "platform/volumes/mounted_volumes.h"

class BlockDeviceMonitor;
class MountWatch;
class QSocketNotifier;

class CDeviceNotifier final : public QObject {
    Q_OBJECT

public:
    // The notice kinds, by the values the frame has always switched on.
    enum Event : int { DeviceArrival = 0x8000, DeviceRemoveComplete = 0x8004 };

    CDeviceNotifier();
    ~CDeviceNotifier() override;

    // Starts the udev monitor and the watch on this machine's mount table; a
    // machine without udev hears only the mount table.
    void ListenToDrives();

    // Watches the mount table at `sources` (tests give a file of their own):
    // one arrival for each removable or optical volume mounted from now on,
    // one removal for each unmounted. Once only; later calls change nothing.
    void ListenToMounts(const VolumeSources& sources);

    // Announces what changed in the mount table since the last look. The
    // watch runs it when the kernel flags a change; a test runs it after
    // rewriting its table, since a plain file is never flagged.
    void RereadMounts();

signals:
    void deviceChange(int event);

private:
    void ReadNotices();

    std::unique_ptr<BlockDeviceMonitor> m_monitor;
    QSocketNotifier* m_readable = nullptr;
    std::unique_ptr<MountWatch> m_mounts;
};

// The process-wide notifier.
CDeviceNotifier& TheDeviceNotifier();
