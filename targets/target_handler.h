// A target handler knows one output file format: its name and extension,
// the encoders and values the user may choose, the current settings, and
// the filters it adds to a task's graph (AddFilters) and finishes once the
// source half is connected (CompleteGraph). User-interface thread only;
// one task is built at a time, so a handler holds one task's objects from
// AddFilters to CompleteGraph.
#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

#include "platform/com/comptr.h"
#include "platform/dshow/graph_interfaces.h"
#include "targets/target_profile.h"

class CTargetHandler {
public:
    CTargetHandler() = default;
    virtual ~CTargetHandler() = default;
    CTargetHandler(const CTargetHandler&) = delete;
    CTargetHandler& operator=(const CTargetHandler&) = delete;

    // Lets a handler report a missing component (message and a link).
    virtual HRESULT CheckComponents(QString& message, QString& link);
    // Adds the handler's filters to the graph and returns, with a reference
    // each, the pins the source's video and audio must reach.
    virtual HRESULT AddFilters(const QString& outputPath, IGraphBuilder* graph, IPin** videoIn, IPin** audioIn) = 0;
    // Inserts converters, configures encoders, adds multiplexer and writer,
    // and drops what AddFilters kept.
    virtual HRESULT CompleteGraph() = 0;
    virtual QString GetFileExtension() const = 0;  // without the dot
    virtual QString GetFormatName() const = 0;
    virtual int GetAudioEncoderCount() const = 0;
    // An index the handler does not have leaves both unchanged.
    virtual void GetAudioEncoder(int index, QString& name, GUID& clsid) const = 0;
    virtual int GetVideoEncoderCount() const = 0;
    virtual void GetVideoEncoder(int index, QString& name, GUID& clsid) const = 0;
    virtual void GetResolutions(QList<QSize>& sizes) const;
    virtual void GetVideoBitrateRange(int& minimum, int& maximum) const;
    virtual void GetAudioBitrates(QList<int>& rates) const;
    virtual void GetFrameRates(QList<int>& rates) const;
    virtual void GetSampleRates(QList<int>& rates) const;

    // Copies the profile at that position into the current settings; an
    // index outside the list changes nothing.
    void SelectProfile(int index);
    int CurrentProfile() const { return m_currentProfile; }
    // In the order they were added.
    QList<const CTargetProfile*> Profiles() const;

    // The current settings; the format settings dialog edits them in place.
    TargetVideoSettings video;
    TargetAudioSettings audio;

protected:
    void AddProfile(std::unique_ptr<CTargetProfile> profile);
    void DeleteProfiles();
    // The selected profile's extra block (empty when there is none).
    const QByteArray& Extra() const;

    // Held from AddFilters to CompleteGraph.
    ComPtr<IGraphBuilder> m_graph;
    QString m_outputPath;

private:
    int m_currentProfile = 0;
    std::vector<std::unique_ptr<CTargetProfile>> m_profiles;
};

// The handlers of one target device, in their fixed order: MPEG-4, WMV,
// WAV, M4A, MP3. Owns them.
class CTargetHandlerList {
public:
    CTargetHandlerList();

    QList<CTargetHandler*> Handlers() const;

private:
    std::vector<std::unique_ptr<CTargetHandler>> m_handlers;
};
