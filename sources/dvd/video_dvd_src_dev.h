// A video DVD's titles as a source: a disc in an optical drive or a
// VIDEO_TS folder copied to disk. The device keeps the drives it may read
// (mount points or folders), the selected one and the structure last read
// from it (dvd_structure.h). A transfer task carries its whole title as a
// source string, so rereading the disc never touches a queued task.
//
// Until the page exists, titles are chosen by number (the command line).
// User-interface thread only.
#pragma once

#include "pipeline/device.h"
#include "sources/dvd/dvd_structure.h"

inline constexpr GUID GUID_VideoDVDSrcDev = MakeGuid("{AAF47919-1B26-4B40-825C-4C194B13AB9E}");

class CVideoDVDSrcDev final : public CSourceDevice {
public:
    explicit CVideoDVDSrcDev(CKestrelDoc* document);

    // The drives the device may read: mount points of discs, folders that
    // hold VIDEO_TS, or VIDEO_TS folders. AddDrive returns the entry's index
    // (an entry already listed is not added again).
    QStringList DriveEntries() const { return m_driveEntries; }
    int AddDrive(const QString& path);
    void SelectDrive(int index) { m_selectedDrive = index; }
    int SelectedDrive() const { return m_selectedDrive; }

    // Rereads the selected drive's structure; false, with the lists kept,
    // when the selected index names no entry.
    bool ReadDiscStructure();
    const CDvdStructure& Structure() const { return m_structure; }
    // The titles, in item order; null past the end.
    CTitleInfo* Title(int index);
    int TitleCount() const { return int(m_structure.titles.size()); }
    // The disc's name in task names: the folder that holds VIDEO_TS.
    QString VolumeLabel() const;

    HRESULT BuildVideoGraph(CTargetDevice* target, CGraphContext* context) override;
    HRESULT FinishGraph(CTargetDevice* target, CGraphContext* context) override;
    double GetTotalDuration() override;
    // One task per title, named "<label> - Title <n>". `items` are title
    // numbers counted from 1 (numbers outside the list are skipped);
    // without items, nothing is queued until the page marks titles.
    bool CreateTasks(TaskList& tasks, CTargetDevice* target, const QStringList* items) override;

private:
    QStringList m_driveEntries;
    int m_selectedDrive = 0;
    CDvdStructure m_structure;
};
