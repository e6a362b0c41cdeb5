#include "targets/computer_tgt_page.h"

#include "targets/computer_tgt_dev.h"

CComputerTgtPage::CComputerTgtPage(CComputerTgtDev* device, CKestrelDoc* document)
    : CDevicePage(device, document), m_target(device)
{
}

QString CComputerTgtPage::GetCurrentFolderPath() const
{
    return m_target->GetOutputFolder();
}
