// A folder of this computer as the target, in any of the five formats.
#pragma once

#include "pipeline/device.h"
#include "targets/target_handler.h"

inline constexpr GUID GUID_ComputerTgtDev = MakeGuid("{5DDE9C23-5AA0-4EC4-85B6-3B63DBD51B46}");

class CComputerTgtDev final : public CTargetDevice {
public:
    explicit CComputerTgtDev(CKestrelDoc* document);

    HRESULT PrepareGraph(CSourceDevice* source, CTranscodeTask* task) override;
    HRESULT FinishGraph(CSourceDevice* source, CTranscodeTask* task) override;

    const QList<CTargetHandler*>& Handlers() const { return handlers_.Handlers(); }
    CTargetHandler* CurrentHandler() const { return current_; }
    // The handler that writes files with that extension; null when none does.
    CTargetHandler* HandlerForExtension(const QString& extension) const;
    void SetCurrentHandler(CTargetHandler* handler) { current_ = handler; }

private:
    CTargetHandlerList handlers_;
    CTargetHandler* current_;
};
