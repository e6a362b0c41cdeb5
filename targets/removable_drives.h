// The removable drives a netbook target can write to, as folder paths, and
// the room they offer. Tests stand a temporary folder in for a drive with
// ScopedRemovableDrives and pretend its room with ScopedDriveSpace.
#pragma once

#include <QStringList>

// The mount points of the removable drives, in mount-table order.
QStringList ListRemovableDrives();

class ScopedRemovableDrives {
public:
    explicit ScopedRemovableDrives(const QStringList& drives);
    ~ScopedRemovableDrives();
    ScopedRemovableDrives(const ScopedRemovableDrives&) = delete;
    ScopedRemovableDrives& operator=(const ScopedRemovableDrives&) = delete;

private:
    const QStringList* m_previous;
    QStringList m_drives;
};

// What a drive offers one more file: its free bytes, and whether it is FAT
// (FAT12/16/32), where no file may reach 4 GiB.
struct DriveSpace {
    qint64 freeBytes = 0;
    bool isFat = false;
};

// False when the file system holding the folder cannot be asked.
bool QueryDriveSpace(const QString& folder, DriveSpace& space);

// Answers every QueryDriveSpace with `space` while it lives.
class ScopedDriveSpace {
public:
    explicit ScopedDriveSpace(const DriveSpace& space);
    ~ScopedDriveSpace();
    ScopedDriveSpace(const ScopedDriveSpace&) = delete;
    ScopedDriveSpace& operator=(const ScopedDriveSpace&) = delete;

private:
    const DriveSpace* m_previous;
    DriveSpace m_space;
};
