// The main window's working surface: source tabs and the current source's
// page on the left, target tabs and page on the right, the Transfer button
// between them and the status panel along the bottom. Its 100 ms timer
// drives the document's queue and shows its progress.
// User-interface thread only.
#pragma once

#include <QWidget>

#include "app/kestrel_doc.h"
#include "app/status_panel.h"
#include "ui/bitmap_image.h"
#include "ui/device_tab_handler.h"
#include "ui/erase_handler.h"

class CFlatButton;

class CKestrelView final : public QWidget, public CEraseHandler, public CDocumentView {
    Q_OBJECT

public:
    enum Control : int { TransferButton = 100 };
    static constexpr int kPollTimer = 100;  // ms

    // Builds the tabs and the page windows of the document's devices.
    explicit CKestrelView(CKestrelDoc* document, QWidget* parent = nullptr);
    ~CKestrelView() override;

    CKestrelDoc* GetDocument() const { return m_pDoc; }
    CBaseDevice* GetCurrentSource() const;
    CBaseDevice* GetCurrentTarget() const;

    void OnBroadcast(int code, void* param) override;
    // A page asked the document to broadcast.
    void OnPageBroadcast(int code);
    void EraseBackground(QPainter& painter) override;
    QWidget* GetEraseWnd() override { return this; }

    // One timer step: poll the document, repaint the panel while a
    // transfer runs or when the queue changed.
    void PollQueue();
    // Puts a queue state into the status panel and repaints it.
    void ShowStatus(bool idle, float progress, const QString& status);
    void LayoutPages();
    void UpdateTransferButton();

    CDeviceTabHandler& SourceTabs() { return m_sourceTabs; }
    CDeviceTabHandler& TargetTabs() { return m_targetTabs; }
    const CStatusPanel& Panel() const { return m_panel; }
    CStatusPanel& Panel() { return m_panel; }
    CFlatButton* Transfer() const { return m_transfer; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void BuildTabs();
    void OnTransfer();
    CBaseDevice* DeviceWithId(const GUID& id) const;
    void PlacePage(CBaseDevice* device, const QRect& area);

    CKestrelDoc* m_pDoc;
    CDeviceTabHandler m_sourceTabs;
    CDeviceTabHandler m_targetTabs;
    QRect m_rcBackground;
    CStatusPanel m_panel;
    CFlatButton* m_transfer;
    CBitmapImage m_background;
    bool m_lastIdle = true;
    QString m_lastStatus;
    float m_lastProgress = 0;
    int m_timer = 0;
};
