// A netbook's removable drive as the target: MPEG-4 files in the drive's
// root, with the player and its decoder files beside them.
#pragma once

#include "pipeline/device.h"
#include "targets/target_handler.h"

inline constexpr GUID GUID_NetbookTgtDev = MakeGuid("{0E94312A-5B2A-4226-80FD-773843C159B0}");

class CNetbookTgtDev final : public CTargetDevice {
public:
    explicit CNetbookTgtDev(CKestrelDoc* document);

    bool IsAvailable() override;
    HRESULT PrepareGraph(CSourceDevice* source, CGraphContext* context) override;
    HRESULT FinishGraph(CSourceDevice* source, CGraphContext* context) override;
    // The chosen drive while it is present, else the first one; empty
    // when no removable drive is present.
    QString GetOutputFolder() const override;
    void SelectDrive(const QString& root) { m_selectedDrive = root; }

    // Copies the player and the decoder files that are missing on the
    // target from the program folder, when they fit beside an item of
    // `itemBytes`. Failures are left alone: the transfer goes on without
    // them.
    void DeployPlayer(qint64 itemBytes = 0);

    CTargetHandler* CurrentHandler() const { return m_current; }
    // Where the player files are copied from; the program's folder unless set.
    void SetProgramFolder(const QString& folder) { m_programFolder = folder; }

    // The files deployed: the player, then the decoders in "Codecs".
    static const char* const kPlayerFile;
    static const char* const kCodecFiles[5];

protected:
    std::unique_ptr<CDevicePage> MakePage() override;

private:
    // Refuses the item, with a message, when its estimated output cannot
    // fit on the drive; S_OK when it fits or cannot be estimated (then
    // `itemBytes` stays 0).
    HRESULT CheckRoom(const CGraphContext* context, qint64& itemBytes) const;

    CTargetHandlerList m_handlers;
    CTargetHandler* m_current;
    QString m_programFolder;
    QString m_selectedDrive;
};
