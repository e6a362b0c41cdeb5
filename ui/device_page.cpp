#include "ui/device_page.h"

CDevicePage::CDevicePage(CBaseDevice* device, CKestrelDoc* document) : device_(device), document_(document) {}

void CDevicePage::OnBroadcast(int, void*) {}

void CDevicePage::GetMarkedItems(QStringList&) {}

void CDevicePage::ClearMarks() {}

QString CDevicePage::GetCurrentFolderPath() const
{
    return {};
}

bool CDevicePage::HasWindow() const
{
    return testAttribute(Qt::WA_WState_Created);
}
