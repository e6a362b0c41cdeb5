// The devices: places items come from (sources) or go to (targets). The
// document owns a fixed set of them; each owns its page. When a task runs,
// the target builds the output half of its graph and the source the input
// half, through the virtual operations below, in this order:
//   target PrepareGraph → source BuildVideoGraph (or BuildAudioGraph for an
//   audio-only task) → target FinishGraph → source FinishGraph.
// User-interface thread only.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/com/guid.h"
#include "platform/dshow/dshow_types.h"

class CKestrelDoc;
class CDevicePage;
class CTranscodeTask;
class CTargetDevice;

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

    QString GetName() const { return name_; }
    const GUID& Identifier() const { return identifier_; }
    int BitmapId() const { return bitmapId_; }
    int Direction() const { return direction_; }
    CDevicePage* Page() const { return page_; }
    CKestrelDoc* Document() const { return document_; }

protected:
    // The concrete constructor's first step: name, identifier and bitmap.
    void Describe(int nameId, const GUID& identifier, int bitmapId);
    void SetPage(CDevicePage* page);  // takes ownership
    int direction_ = DIRECTION_SOURCE;

private:
    QString name_;
    CKestrelDoc* document_;
    int bitmapId_ = 0;
    CDevicePage* page_ = nullptr;
    GUID identifier_ = GUID_NULL;
};

class CSourceDevice : public CBaseDevice {
public:
    explicit CSourceDevice(CKestrelDoc* document);

    virtual HRESULT BuildAudioGraph(CTargetDevice* target, CTranscodeTask* task);
    virtual HRESULT BuildVideoGraph(CTargetDevice* target, CTranscodeTask* task);
    virtual HRESULT FinishGraph(CTargetDevice* target, CTranscodeTask* task);
    virtual double GetTotalDuration();
    // Appends one task per item (the given paths, or else the page's marked
    // items). False only when the target refuses this source.
    virtual bool CreateTasks(QList<CTranscodeTask*>& tasks, CTargetDevice* target, const QStringList* items);
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
    virtual HRESULT PrepareGraph(CSourceDevice* source, CTranscodeTask* task) = 0;
    virtual HRESULT FinishGraph(CSourceDevice* source, CTranscodeTask* task);
    virtual QString GetDiscTitle();
    virtual bool GetTrackList(QList<CDeviceTitle*>& titles);

    // folder/name.ext, or folder/name (n).ext from n = 2 on, whichever
    // names nothing that exists yet.
    static QString MakeUniqueOutputPath(const QString& folder, CTranscodeTask* task, const QString& extension);
    // Puts the Time Grabber in front of the encoder input the task's
    // progress is measured at.
    static HRESULT InsertTimeGrabber(CTranscodeTask* task);
};
