// The page of a device: what the main view shows below the device's tab.
// The device owns its page object; the page's window exists only once the
// view has made it (a command-line transfer never does). The pages of the
// sources and targets derive from this and override what they offer.
#pragma once

#include <QStringList>
#include <QWidget>

class CBaseDevice;
class CKestrelDoc;

class CDevicePage : public QWidget {
    Q_OBJECT

public:
    CDevicePage(CBaseDevice* device, CKestrelDoc* document);

    // The document's events (task finished, device arrived...).
    virtual void OnBroadcast(int code, void* param);
    // Appends the full paths of the items the page counts as marked.
    virtual void GetMarkedItems(QStringList& paths);
    virtual void ClearMarks();
    // The folder the page shows; targets write there. Empty when none.
    virtual QString GetCurrentFolderPath() const;

    // Whether the view has made the page's window.
    bool HasWindow() const;

    CBaseDevice* Device() const { return device_; }
    CKestrelDoc* Document() const { return document_; }

private:
    CBaseDevice* device_;
    CKestrelDoc* document_;
};
