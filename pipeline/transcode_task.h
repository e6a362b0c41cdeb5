// One transfer item: owns one filter graph that reads the item, converts it
// and writes one output file. The devices build the graph when the document
// starts the task; the task runs it without a clock and answers the
// document's polls without ever waiting more than 10 ms.
// User-interface thread only; the graph streams on its own threads.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <chrono>

#include "pipeline/graph_context.h"

// How long a running task may show neither progress nor an event before it
// counts as stuck and fails; process-wide (a setting, short in tests).
void SetTaskStallLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds TaskStallLimit();

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
    CTranscodeTask(const CTranscodeTask&) = delete;
    CTranscodeTask& operator=(const CTranscodeTask&) = delete;

    bool Start() override;
    void Abort() override;
    bool Poll() override;
    float GetProgress() override;
    QString GetDescription() override;

    QString GetName() const { return m_context.GetName(); }
    QString GetSourcePath() const { return m_context.GetSourcePath(); }
    QString GetOutputPath() const { return m_context.GetOutputPath(); }
    bool IsAudioOnly() const { return m_context.IsAudioOnly(); }
    CSourceDevice* Source() const { return m_source; }
    CTargetDevice* Target() const { return m_target; }
    // What the devices build the graph in.
    CGraphContext& Context() { return m_context; }

    // Whether the task ended with its output written: its graph completed,
    // it was not aborted and no error stopped it.
    bool Succeeded() const { return m_completed; }
    // What made the task fail; S_OK while it has not failed.
    HRESULT Failure() const { return m_failure; }

private:
    HRESULT BuildAndRun();
    // Reports the transfer error with its cause and keeps no output.
    void Fail(HRESULT failure);
    // Stops and drops the graph and deletes the partial output file.
    void Discard();

    CGraphContext m_context;
    bool IsStalled() const;

    LONGLONG m_duration = -1;
    float m_lastProgress = -1;
    QElapsedTimer m_sinceChange;  // since the last progress or event
    bool m_completed = false;
    HRESULT m_failure = S_OK;
    CSourceDevice* m_source;
    CTargetDevice* m_target;
};
