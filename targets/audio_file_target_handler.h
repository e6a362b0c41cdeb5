// The audio-only formats whose one filter both encodes and writes the file:
// WAV (CWaveTargetHandler) and MP3 (CLAMETargetHandler). Any video goes
// into the video discard filter; the audio reaches the writer through an
// optional sample-rate converter. User-interface thread only.
#pragma once

#include "platform/com/comptr.h"
#include "targets/target_handler.h"

// What tells the two formats apart.
struct AudioFileFormat {
    CLSID writer;
    int encoderNameId;
    const char* extension;
    const char* formatName;
};

class CAudioFileTargetHandler : public CTargetHandler {
public:
    explicit CAudioFileTargetHandler(const AudioFileFormat& format);

    HRESULT AddFilters(const QString& outputPath, IGraphBuilder* graph, IPin** videoIn, IPin** audioIn) override;
    // Splices in the sample-rate converter; a converter that cannot be
    // added leaves the source's rate and is not reported.
    HRESULT CompleteGraph() override;
    QString GetFileExtension() const override;
    QString GetFormatName() const override;
    int GetAudioEncoderCount() const override;
    void GetAudioEncoder(int index, QString& name, GUID& clsid) const override;
    int GetVideoEncoderCount() const override;
    void GetVideoEncoder(int index, QString& name, GUID& clsid) const override;

private:
    const AudioFileFormat& m_format;
    ComPtr<IBaseFilter> m_writer;  // held from AddFilters to CompleteGraph
};

class CWaveTargetHandler final : public CAudioFileTargetHandler {
public:
    CWaveTargetHandler();
};

class CLAMETargetHandler final : public CAudioFileTargetHandler {
public:
    CLAMETargetHandler();
};
