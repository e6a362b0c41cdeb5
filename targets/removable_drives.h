// The removable drives a netbook target can write to, as folder paths.
// Tests stand a temporary folder in for a drive with ScopedRemovableDrives.
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
