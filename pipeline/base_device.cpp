#include "pipeline/device.h"
#include "res/string_table.h"
#include "ui/device_page.h"

CBaseDevice::CBaseDevice(CKestrelDoc* document) : document_(document) {}

CBaseDevice::~CBaseDevice()
{
    delete page_;
}

bool CBaseDevice::IsAvailable()
{
    return true;
}

void CBaseDevice::OnBroadcast(int, void*) {}

void CBaseDevice::Describe(int nameId, const GUID& identifier, int bitmapId)
{
    name_ = LoadString(nameId);
    identifier_ = identifier;
    bitmapId_ = bitmapId;
}

void CBaseDevice::SetPage(CDevicePage* page)
{
    delete page_;
    page_ = page;
}
