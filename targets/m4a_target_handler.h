// CM4ATargetHandler writes audio-only MPEG-4 files: its single profile sends
// the video to the video discard filter; the graph is the base class's.
#pragma once

#include "targets/mpeg4_target_handler.h"

class CM4ATargetHandler final : public CMPEG4TargetHandler {
public:
    CM4ATargetHandler();

    QString GetFileExtension() const override;
    QString GetFormatName() const override;
    int GetVideoEncoderCount() const override;
    void GetVideoEncoder(int index, QString& name, GUID& clsid) const override;
};
