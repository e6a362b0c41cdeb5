#include "targets/computer_tgt_dev.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "res/string_table.h"
#include "services/settings_store.h"
#include "targets/computer_tgt_page.h"
#include "targets/handler_graph.h"

CComputerTgtDev::CComputerTgtDev(CKestrelDoc* document)
    : CTargetDevice(document),
      m_current(nullptr),
      m_folder(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation))
{
    Describe(IDS_MY_COMPUTER, GUID_ComputerTgtDev, 312);
    m_current = m_handlers.Handlers().value(0);
    if (m_folder.isEmpty())
        m_folder = QDir::homePath();
    LoadChoices();
}

namespace {
const char* const kChoicesSection = "ComputerTarget";
const char* const kFolderEntry = "Folder";
const char* const kFormatEntry = "Format";
const char* const kProfileEntry = "Profile";
}  // namespace

void CComputerTgtDev::SaveChoices() const
{
    WriteProfileString(kChoicesSection, kFolderEntry, m_folder);
    if (!m_current)
        return;
    WriteProfileString(kChoicesSection, kFormatEntry, m_current->GetFileExtension());
    WriteProfileInt(kChoicesSection, kProfileEntry, m_current->CurrentProfile());
}

void CComputerTgtDev::LoadChoices()
{
    const QString folder = GetProfileString(kChoicesSection, kFolderEntry, {});
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_folder = folder;
    CTargetHandler* handler = HandlerForExtension(GetProfileString(kChoicesSection, kFormatEntry, {}));
    if (!handler)
        return;
    m_current = handler;
    handler->SelectProfile(GetProfileInt(kChoicesSection, kProfileEntry, 0));
}

std::unique_ptr<CDevicePage> CComputerTgtDev::MakePage()
{
    return std::make_unique<CComputerTgtPage>(this, Document());
}

CTargetHandler* CComputerTgtDev::HandlerForExtension(const QString& extension) const
{
    for (CTargetHandler* handler : m_handlers.Handlers()) {
        if (handler->GetFileExtension().compare(extension, Qt::CaseInsensitive) == 0)
            return handler;
    }
    return nullptr;
}

HRESULT CComputerTgtDev::PrepareGraph(CSourceDevice*, CGraphContext* context)
{
    return PrepareHandlerGraph(m_current, m_folder, context, true);
}

HRESULT CComputerTgtDev::FinishGraph(CSourceDevice*, CGraphContext* context)
{
    return FinishHandlerGraph(m_current, context);
}
