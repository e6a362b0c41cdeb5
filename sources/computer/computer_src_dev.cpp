#include "sources/computer/computer_src_dev.h"

#include "res/string_table.h"
#include "sources/computer/computer_src_page.h"

CComputerSrcDev::CComputerSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_MY_COMPUTER, GUID_ComputerSrcDev, 312);
}

std::unique_ptr<CDevicePage> CComputerSrcDev::MakePage()
{
    return std::make_unique<CComputerSrcPage>(this, Document());
}
