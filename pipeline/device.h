// The devices: places items come from (sources) or go to (targets). The
// document owns a fixed set of them. A device's page is made by the main
// view, which owns it as a child window; a run without a window (the
// command line, tests) has no pages, so what a transfer needs to know (the
// target's folder, its format) lives in the device, and the page shows and
// sets it. When a task runs, the target builds the output half of its graph
// and the source the input half in the task's graph context, through the
// virtual operations below, in this order:
//   target PrepareGraph → source BuildVideoGraph (or BuildAudioGraph for an
//   audio-only task) → target FinishGraph → source FinishGraph.
// User-interface thread only.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/com/guid.h"
#include "platform/dshow/dshow_types.h"

class CKestrelDoc;
class CDevicePage;
class CGraphContext;
class CTranscodeTask;
class CTargetDevice;
class QWidget;

using TaskList = std::vector<std::unique_ptr<CTranscodeTask>>;

enum DeviceDirection : int { DIRECTION_SOURCE = 0, DIRECTION_TARGET = 1 };

class CBaseDevice {
public:
    explicit CBaseDevice(CKestrelDoc* document);
    virtual ~CBaseDevice();
    CBaseDevice(const CBaseDevice&) = delete;
    CBaseDevice& operator=(const CBaseDevice&) = delete;

    // Whether the device can take part in a transfer right now.
    virtual bool IsAvailable();
    virtual void OnBroadcast(int code, void* param);

    QString GetName() const { return m_name; }
    const GUID& Identifier() const { return m_identifier; }
    int BitmapId() const { return m_bitmapId; }
    int Direction() const { return m_direction; }
    // The page's window, a child of `parent` that owns it, made on the
    // first call; later calls return the same page.
    CDevicePage* CreatePage(QWidget* parent);
    // Null until the view made the page, and again once the view is gone.
    CDevicePage* Page() const;
    CKestrelDoc* Document() const { return m_document; }

protected:
    // The concrete constructor's first step: name, identifier and bitmap.
    void Describe(int nameId, const GUID& identifier, int bitmapId);
    // A new page of the device's own kind, not yet a window; a plain page
    // for a device without one of its own.
    virtual std::unique_ptr<CDevicePage> MakePage();
    int m_direction = DIRECTION_SOURCE;

private:
    QString m_name;
    CKestrelDoc* m_document;
    int m_bitmapId = 0;
    QPointer<CDevicePage> m_page;
    GUID m_identifier = GUID_NULL;
};

class CSourceDevice : public CBaseDevice {
public:
    explicit CSourceDevice(CKestrelDoc* document);

    virtual HRESULT BuildAudioGraph(CTargetDevice* target, CGraphContext* context);
    virtual HRESULT BuildVideoGraph(CTargetDevice* target, CGraphContext* context);
    virtual HRESULT FinishGraph(CTargetDevice* target, CGraphContext* context);
    virtual double GetTotalDuration();
    // Appends one task per item (the given paths, or else the page's marked
    // items). False only when the target refuses this source.
    virtual bool CreateTasks(TaskList& tasks, CTargetDevice* target, const QStringList* items);
};

// One track a target could list.
struct CDeviceTitle {
    QString title;
    QString artist;
    QString playTime;
};

class CTargetDevice : public CBaseDevice {
public:
    explicit CTargetDevice(CKestrelDoc* document);

    virtual bool AcceptsSource(CSourceDevice* source);
    virtual HRESULT PrepareGraph(CSourceDevice* source, CGraphContext* context) = 0;
    virtual HRESULT FinishGraph(CSourceDevice* source, CGraphContext* context);
    virtual QString GetDiscTitle();
    virtual bool GetTrackList(QList<CDeviceTitle*>& titles);
    // The folder the next task writes to; empty when there is none.
    virtual QString GetOutputFolder() const;

    // folder/name.ext, or folder/name (n).ext from n = 2 on, whichever
    // names nothing that exists yet; the name is the context's made safe
    // (SafeOutputName), so the path never leaves the folder.
    static QString MakeUniqueOutputPath(const QString& folder, const CGraphContext* context, const QString& extension);
    // Puts the Time Grabber in front of the encoder input the task's
    // progress is measured at.
    static HRESULT InsertTimeGrabber(CGraphContext* context);
};
