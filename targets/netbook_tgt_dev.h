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
    HRESULT PrepareGraph(CSourceDevice* source, CTranscodeTask* task) override;
    HRESULT FinishGraph(CSourceDevice* source, CTranscodeTask* task) override;

    // Copies the player and the decoder files that are missing on the
    // target from the program folder. Failures are left alone: the
    // transfer goes on without them.
    void DeployPlayer();

    CTargetHandler* CurrentHandler() const { return current_; }
    // Where the player files are copied from; the program's folder unless set.
    void SetProgramFolder(const QString& folder) { programFolder_ = folder; }

    // The files deployed: the player, then the decoders in "Codecs".
    static const char* const kPlayerFile;
    static const char* const kCodecFiles[5];

private:
    CTargetHandlerList handlers_;
    CTargetHandler* current_;
    QString programFolder_;
};
