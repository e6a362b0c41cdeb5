#include "pipeline/device.h"
#include "res/string_table.h"
#include "ui/device_page.h"

CBaseDevice::CBaseDevice(CKestrelDoc* document) : m_document(document) {}

CBaseDevice::~CBaseDevice() = default;

bool CBaseDevice::IsAvailable()
{
    return true;
}

void CBaseDevice::OnBroadcast(int, void*) {}

void CBaseDevice::Describe(int nameId, const GUID& identifier, int bitmapId)
{
    m_name = LoadString(nameId);
    m_identifier = identifier;
    m_bitmapId = bitmapId;
}

std::unique_ptr<CDevicePage> CBaseDevice::MakePage()
{
    return std::make_unique<CDevicePage>(this, m_document);
}

CDevicePage* CBaseDevice::CreatePage(QWidget* parent)
{
    if (!m_page) {
        std::unique_ptr<CDevicePage> page = MakePage();
        page->Create(parent);  // the parent owns it from here on
        m_page = page.release();
    }
    return m_page;
}

CDevicePage* CBaseDevice::Page() const
{
    return m_page;
}
