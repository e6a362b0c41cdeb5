// What the two halves of a task's graph hand each other while they are
// built: the graph, the item, the encoder inputs the target prepared, and
// where progress is read. A task owns one; the devices and graph building
// see only this, never the task. User-interface thread only.
#pragma once

#include <QString>

#include "components/component_interfaces.h"
#include "platform/com/comptr.h"
#include "platform/dshow/graph_interfaces.h"

class CGraphContext {
public:
    // Without a prepared graph the context makes a new filter graph.
    CGraphContext(const QString& name, const QString& sourcePath, bool audioOnly, IGraphBuilder* graph = nullptr);
    ~CGraphContext();
    CGraphContext(const CGraphContext&) = delete;
    CGraphContext& operator=(const CGraphContext&) = delete;

    // The item: its name (the output file's base name), where it is read
    // from, and whether only its sound is transferred.
    QString GetName() const { return m_name; }
    QString GetSourcePath() const { return m_sourcePath; }
    bool IsAudioOnly() const { return m_audioOnly; }

    // Null once released.
    IGraphBuilder* Graph() const { return m_graph.Get(); }

    // Set by the target.
    QString GetOutputPath() const { return m_outputPath; }
    void SetOutputPath(const QString& path) { m_outputPath = path; }
    void SetInputPins(IPin* video, IPin* audio);
    IPin* VideoInputPin() const { return m_videoIn.Get(); }
    IPin* AudioInputPin() const { return m_audioIn.Get(); }
    HRESULT GetAudioInputPin(IPin** pin);
    void SetTimeSource(ITimeGrabber* timeSource) { m_timeSource = timeSource; }
    ITimeGrabber* TimeSource() const { return m_timeSource.Get(); }

    // Set by the source.
    void SetMediaSeeking(IMediaSeeking* seeking) { m_seeking = seeking; }
    IMediaSeeking* MediaSeeking() const { return m_seeking.Get(); }

    // Drops every interface of the graph, the graph last.
    void Release();

private:
    QString m_name;
    QString m_sourcePath;
    bool m_audioOnly;
    QString m_outputPath;
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IPin> m_videoIn;
    ComPtr<IPin> m_audioIn;
    ComPtr<IMediaSeeking> m_seeking;
    ComPtr<ITimeGrabber> m_timeSource;
};
