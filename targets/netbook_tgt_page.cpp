#include "targets/netbook_tgt_page.h"

#include "targets/removable_drives.h"

QString CNetbookTgtPage::GetCurrentFolderPath() const
{
    const QStringList drives = ListRemovableDrives();
    if (drives.contains(selectedDrive_))
        return selectedDrive_;
    return drives.value(0);
}
