// The page of a device: what the main view shows below the device's tab.
// The device makes its page when the view asks (CBaseDevice::CreatePage),
// as a child window that the view owns; a command-line transfer has none. The pages of the
// sources and targets derive from this and override what they offer.
// Pages look like part of the view: their background is painted by the
// erase handler of the panel they lie in.
#pragma once

#include <QStringList>
#include <QWidget>

#include "ui/anchor_logic.h"

class CBaseDevice;
class CEraseHandler;
class CKestrelDoc;

class CDevicePage : public QWidget, public CAnchorLogic {
    Q_OBJECT

public:
    CDevicePage(CBaseDevice* device, CKestrelDoc* document);

    // Makes the page's window, a child of `parent` that starts disabled and
    // hidden, and lets the page build its controls (OnInitDialog).
    void Create(QWidget* parent);

    // The background painter; pages that hold transparent controls pass it
    // on to them too.
    virtual void SetEraseHandler(CEraseHandler* handler);
    // Called when the page is shown for the first time: pages do their
    // first listing here.
    virtual void OnFirstShow();
    // The id of the page's dialog; its window carries it as object name.
    // 0 for a page without a dialog of its own.
    virtual int GetTemplateId() const;
    // The document's events (task finished, device arrived...).
    virtual void OnBroadcast(int code, void* param);
    // Appends the full paths of the items the page counts as marked.
    virtual void GetMarkedItems(QStringList& paths);
    virtual void ClearMarks();
    // The folder the page shows; targets write there. Empty when none.
    virtual QString GetCurrentFolderPath() const;

    bool IsFirstShowPending() const { return m_bFirstShow; }
    CEraseHandler* EraseHandler() const { return m_pEraseHandler; }

    CBaseDevice* Device() const { return m_device; }
    CKestrelDoc* Document() const { return m_document; }

signals:
    // The page asks the document to tell everyone (DocumentEvent), for
    // example that it changed files that other pages may show.
    void BroadcastRequested(int code);

protected:
    // Builds the page's controls once its window exists. Pages call this
    // first, then add their anchors.
    virtual void OnInitDialog();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Enter and Escape never end a page the way they end a dialog.
    void keyPressEvent(QKeyEvent* event) override;

    CEraseHandler* m_pEraseHandler = nullptr;

private:
    CBaseDevice* m_device;
    CKestrelDoc* m_document;
    bool m_bFirstShow = true;
};
