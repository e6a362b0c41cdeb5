// CMPEG4TargetHandler writes MPEG-4 files: the source's video through an
// optional frame-rate converter and scaler into the AVC or MPEG-4 Part 2
// encoder, its audio into the AAC encoder, both into the MP4 multiplexer
// and on to a File Writer. User-interface thread only.
#pragma once

#include "platform/com/comptr.h"
#include "targets/target_handler.h"

// The AAC encoder's bit-rate parameter is an index into its rate table: the
// first rate (kbit/s) not below the one asked for, the last index when
// every rate is lower.
int AacBitRateIndex(int kbitPerSecond);

class CMPEG4TargetHandler : public CTargetHandler {
public:
    CMPEG4TargetHandler();

    HRESULT AddFilters(const QString& outputPath, IGraphBuilder* graph, IPin** videoIn, IPin** audioIn) override;
    // Only the encoders whose "In" the source reached are multiplexed (the
    // first to "Input 0"); an unreached encoder is taken out of the graph,
    // so nothing waits for a stream that never comes. E_FAIL when the
    // source reached neither.
    HRESULT CompleteGraph() override;
    QString GetFileExtension() const override;
    QString GetFormatName() const override;
    int GetAudioEncoderCount() const override;
    void GetAudioEncoder(int index, QString& name, GUID& clsid) const override;
    int GetVideoEncoderCount() const override;
    void GetVideoEncoder(int index, QString& name, GUID& clsid) const override;
    void GetAudioBitrates(QList<int>& rates) const override;

    // Called by CompleteGraph in this order: multiplexer, audio, video. An
    // encoder taken out of the graph is not configured.
    virtual HRESULT ConfigureMultiplexer(IBaseFilter* multiplexer);
    virtual HRESULT ConfigureVideoEncoder();
    virtual HRESULT ConfigureAudioEncoder();

protected:
    // The three int32 of the selected profile's extra block (0 if missing).
    int ExtraValue(int position) const;
    bool VideoGoesToDiscard() const;
    void ReleaseTaskObjects();

    // Held from AddFilters to CompleteGraph.
    ComPtr<IBaseFilter> m_videoEncoder;
    ComPtr<IBaseFilter> m_audioEncoder;

private:
    HRESULT AddEncoder(const GUID& clsid, const char* name, ComPtr<IBaseFilter>* encoder);
    // Splices in the converters and drops an encoder the source did not reach.
    HRESULT PrepareEncoderInputs(bool* videoReached, bool* audioReached);
    HRESULT ConnectToMultiplexer(IBaseFilter* multiplexer, bool videoReached, bool audioReached);
    HRESULT AddFileWriter(IBaseFilter* multiplexer);
};
