// One transfer item: owns one filter graph that reads the item, converts it
// and writes one output file. The devices build the graph when the document
// starts the task; the task runs it without a clock and answers the
// document's polls without ever waiting more than 10 ms.
// User-interface thread only; the graph streams on its own threads.
#pragma once

#include <QString>

#include "components/component_interfaces.h"
#include "platform/com/comptr.h"
#include "platform/dshow/graph_interfaces.h"

class CSourceDevice;
class CTargetDevice;

class ITask {
public:
    virtual ~ITask() = default;
    virtual bool Start() = 0;
    virtual void Abort() = 0;
    // True while the task still runs.
    virtual bool Poll() = 0;
    // Fraction done, 0 to 1.
    virtual float GetProgress() = 0;
    virtual QString GetDescription() = 0;
};

class CTranscodeTask final : public ITask {
public:
    // Without a prepared graph the task makes a new filter graph.
    CTranscodeTask(CSourceDevice* source, CTargetDevice* target, const QString& name, const QString& sourcePath,
                   bool audioOnly, IGraphBuilder* graph = nullptr);
    ~CTranscodeTask() override;
    CTranscodeTask(const CTranscodeTask&) = delete;
    CTranscodeTask& operator=(const CTranscodeTask&) = delete;

    bool Start() override;
    void Abort() override;
    bool Poll() override;
    float GetProgress() override;
    QString GetDescription() override;

    QString GetName() const { return name_; }
    QString GetSourcePath() const { return sourcePath_; }
    QString GetOutputPath() const { return outputPath_; }
    void SetOutputPath(const QString& path) { outputPath_ = path; }
    void SetInputPins(IPin* video, IPin* audio);
    HRESULT GetAudioInputPin(IPin** pin);
    void SetMediaSeeking(IMediaSeeking* seeking) { seeking_ = seeking; }

    IGraphBuilder* Graph() const { return graph_.Get(); }
    IPin* VideoInputPin() const { return videoIn_.Get(); }
    IPin* AudioInputPin() const { return audioIn_.Get(); }
    IMediaSeeking* MediaSeeking() const { return seeking_.Get(); }
    void SetTimeSource(ITimeGrabber* timeSource) { timeSource_ = timeSource; }
    bool IsAudioOnly() const { return audioOnly_; }
    CSourceDevice* Source() const { return source_; }
    CTargetDevice* Target() const { return target_; }

    // Whether the task ended with its output written: its graph completed,
    // it was not aborted and no error stopped it.
    bool Succeeded() const { return completed_; }

private:
    HRESULT BuildAndRun();
    void Fail();
    // Stops and drops the graph and deletes the partial output file.
    void Discard();

    ComPtr<IGraphBuilder> graph_;
    ComPtr<IPin> videoIn_;
    ComPtr<IPin> audioIn_;
    ComPtr<IMediaSeeking> seeking_;
    ComPtr<ITimeGrabber> timeSource_;
    QString name_;
    QString outputPath_;
    QString sourcePath_;
    LONGLONG duration_ = -1;
    bool audioOnly_;
    bool completed_ = false;
    CSourceDevice* source_;
    CTargetDevice* target_;
};
