// What the two target pages share: a folder or drive combo over the media
// list of what the folder holds (no marks), a profile combo for the
// device's current handler, and the list shown again after every task and
// every change of files.
#pragma once

#include "ui/device_page.h"

class CExStatic;
class CFolderCombo;
class CMediaListCtrl;
class CTargetHandler;
class QComboBox;

class CTargetPage : public CDevicePage {
    Q_OBJECT

public:
    static constexpr int kMediaList = 1044;
    static constexpr int kProfileCombo = 1018;
    static constexpr int kContentLabel = 1020;
    static constexpr int kProfileLabel = 1022;

    using CDevicePage::CDevicePage;

    void SetEraseHandler(CEraseHandler* handler) override;
    void OnBroadcast(int code, void* param) override;

    CMediaListCtrl* MediaList() const { return m_mediaList; }
    CFolderCombo* FolderCombo() const { return m_folderCombo; }
    QComboBox* ProfileCombo() const { return m_profileCombo; }

    // The current handler's profile names, the one in use selected.
    void FillProfiles();

protected:
    // The handler the profile combo is for; null when none.
    virtual CTargetHandler* CurrentHandler() const = 0;
    // The user chose a profile (already applied to the handler).
    virtual void OnProfileChosen() {}

    // Controls in the page's own places (dialog units).
    CExStatic* AddLabel(int id, const QString& text, const QRect& units);
    void AddFolderCombo(int id, const QRect& units);
    void AddProfileCombo(const QRect& units);
    void AddMediaList(bool showFolders, bool showAudio, const QRect& units);

private:
    QList<CExStatic*> m_labels;
    CFolderCombo* m_folderCombo = nullptr;
    CMediaListCtrl* m_mediaList = nullptr;
    QComboBox* m_profileCombo = nullptr;
};
