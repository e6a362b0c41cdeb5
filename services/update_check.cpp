#include "services/update_check.h"

#include "services/update_dlg.h"
#include "ui/hyper_link.h"
#include "ui/messages.h"

bool RunUpdateCheck()
{
    CUpdateDlg dialog;
    if (!dialog.CheckForUpdate() || !HasDisplay())
        return false;
    if (dialog.DoModal() != CUpdateDlg::IDOK)
        return false;
    // The same opener a link uses: the desktop opens the file as it sees fit.
    CHyperLink::OpenLink(dialog.GetDownloadPath());
    return true;
}
