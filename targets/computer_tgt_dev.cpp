#include "targets/computer_tgt_dev.h"

#include "res/string_table.h"
#include "targets/computer_tgt_page.h"
#include "targets/handler_graph.h"

CComputerTgtDev::CComputerTgtDev(CKestrelDoc* document) : CTargetDevice(document), current_(nullptr)
{
    Describe(IDS_MY_COMPUTER, GUID_ComputerTgtDev, 312);
    SetPage(new CComputerTgtPage(this, document));
    current_ = handlers_.Handlers().value(0);
}

CTargetHandler* CComputerTgtDev::HandlerForExtension(const QString& extension) const
{
    for (CTargetHandler* handler : handlers_.Handlers()) {
        if (handler->GetFileExtension().compare(extension, Qt::CaseInsensitive) == 0)
            return handler;
    }
    return nullptr;
}

HRESULT CComputerTgtDev::PrepareGraph(CSourceDevice*, CTranscodeTask* task)
{
    return PrepareHandlerGraph(current_, Page()->GetCurrentFolderPath(), task, true);
}

HRESULT CComputerTgtDev::FinishGraph(CSourceDevice*, CTranscodeTask* task)
{
    return FinishHandlerGraph(current_, task);
}
