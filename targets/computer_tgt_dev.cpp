#include "targets/computer_tgt_dev.h"

#include <QDir>
#include <QStandardPaths>

#include "res/string_table.h"
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
