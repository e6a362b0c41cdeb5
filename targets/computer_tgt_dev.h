// A folder of this computer as the target, in any of the five formats. The
// folder starts as the user's videos folder; the page shows and changes it.
#pragma once

#include "pipeline/device.h"
#include "targets/target_handler.h"

inline constexpr GUID GUID_ComputerTgtDev = MakeGuid("{5DDE9C23-5AA0-4EC4-85B6-3B63DBD51B46}");

class CComputerTgtDev final : public CTargetDevice {
public:
    explicit CComputerTgtDev(CKestrelDoc* document);

    HRESULT PrepareGraph(CSourceDevice* source, CGraphContext* context) override;
    HRESULT FinishGraph(CSourceDevice* source, CGraphContext* context) override;
    QString GetOutputFolder() const override { return m_folder; }
    void SetOutputFolder(const QString& folder) { m_folder = folder; }

    QList<CTargetHandler*> Handlers() const { return m_handlers.Handlers(); }
    CTargetHandler* CurrentHandler() const { return m_current; }
    // The handler that writes files with that extension; null when none does.
    CTargetHandler* HandlerForExtension(const QString& extension) const;
    void SetCurrentHandler(CTargetHandler* handler) { m_current = handler; }

    // The folder, format and profile the user chose on the page, kept for
    // the next run; a remembered folder that is gone gives the default.
    void SaveChoices() const;
    void LoadChoices();

protected:
    std::unique_ptr<CDevicePage> MakePage() override;

private:
    CTargetHandlerList m_handlers;
    CTargetHandler* m_current;
    QString m_folder;
};
