#include "targets/netbook_tgt_page.h"

#include "targets/netbook_tgt_dev.h"

CNetbookTgtPage::CNetbookTgtPage(CNetbookTgtDev* device, CKestrelDoc* document)
    : CDevicePage(device, document), m_target(device)
{
}

QString CNetbookTgtPage::GetCurrentFolderPath() const
{
    return m_target->GetOutputFolder();
}
