#include "app/kestrel_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include "pipeline/device.h"
#include "services/settings_store.h"
#include "ui/device_page.h"
#include "ui/flat_button.h"
#include "ui/wait_cursor.h"

namespace {
constexpr int kBackgroundBitmap = 327;
constexpr int kTransferBitmap = 314;
constexpr int kTransferSize = 80;
constexpr int kMargin = 8;
constexpr int kPageInset = 12;

QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

CBitmapImage CreateTabImage(const CBaseDevice& device)
{
    CBitmapImage image;
    image.LoadFromResource(device.BitmapId());
    return image;
}
}  // namespace

CKestrelView::CKestrelView(CKestrelDoc* document, QWidget* parent)
    : QWidget(parent),
      m_pDoc(document),
      m_transfer(new CFlatButton(Qt::black, QColor(212, 232, 255), Qt::white, Qt::black, this))
{
    setMouseTracking(true);
    m_background.LoadFromResource(kBackgroundBitmap);
    m_transfer->setObjectName(QString::number(TransferButton));
    m_transfer->setText(tr("Transfer"));
    m_transfer->SetImageId(kTransferBitmap);
    m_transfer->SetEraseHandler(this);
    connect(m_transfer, &CFlatButton::clicked, this, &CKestrelView::OnTransfer);
    m_sourceTabs.SetEraseWnd(this);
    m_targetTabs.SetEraseWnd(this);
    BuildTabs();
    m_panel.SetDocument(m_pDoc);
    LayoutPages();
    m_pDoc->AddView(this);
    m_timer = startTimer(kPollTimer);
}

CKestrelView::~CKestrelView()
{
    killTimer(m_timer);
    m_pDoc->RemoveView(this);
}

void CKestrelView::BuildTabs()
{
    m_sourceTabs.RemoveAllTabs();
    m_targetTabs.RemoveAllTabs();
    for (CBaseDevice* device : m_pDoc->Devices()) {
        const CBitmapImage image = CreateTabImage(*device);
        CDevicePage* page = device->CreatePage(this);
        connect(page, &CDevicePage::BroadcastRequested, this, &CKestrelView::OnPageBroadcast, Qt::UniqueConnection);
        if (!IsDeviceShown(device->GetName()))
            continue;
        CDeviceTabHandler& tabs = device->Direction() == DIRECTION_SOURCE ? m_sourceTabs : m_targetTabs;
        page->SetEraseHandler(&tabs);
        tabs.AddTab(device->GetName(), image, device->Identifier());
    }
}

void CKestrelView::resizeEvent(QResizeEvent*)
{
    const int cx = width(), cy = height(), h = m_panel.Height();
    m_rcBackground = QRect(0, 0, cx, cy - h);
    m_sourceTabs.SetRect(Edges(kMargin, kMargin, (cx - kTransferSize) / 2, cy - h - kMargin));
    m_targetTabs.SetRect(Edges((cx + kTransferSize) / 2, kMargin, cx - kMargin, cy - h - kMargin));
    m_transfer->setGeometry((cx - kTransferSize) / 2, cy / 2 - h, kTransferSize, kTransferSize);
    m_transfer->update();
    m_panel.SetRect(Edges(0, cy - h, cx, cy));
    LayoutPages();
}

void CKestrelView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_background.Draw(painter, m_rcBackground, m_background.Image().rect(), 255);
    m_panel.Paint(painter);
    m_targetTabs.DrawTabs(painter);
    m_sourceTabs.DrawTabs(painter);
}

void CKestrelView::EraseBackground(QPainter& painter)
{
    m_background.Draw(painter, QRect(0, 0, width(), height() - m_panel.Height()), m_background.Image().rect(), 255);
}

void CKestrelView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer)
        PollQueue();
    else
        QWidget::timerEvent(event);
}

void CKestrelView::PollQueue()
{
    QString status = m_lastStatus;
    float progress = m_lastProgress;
    bool idle = m_lastIdle;
    m_pDoc->Poll(status, progress, idle);
    // While an item runs its time line moves on even when nothing else does.
    if (idle && m_lastIdle && status == m_lastStatus && progress == m_lastProgress)
        return;
    m_lastIdle = idle;
    m_lastStatus = status;
    m_lastProgress = progress;
    ShowStatus(idle, progress, status);
}

void CKestrelView::ShowStatus(bool idle, float progress, const QString& status)
{
    m_panel.SetState(idle, progress, status);
    update(m_panel.Rect());
}

void CKestrelView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_sourceTabs.HoverAt(point);
    m_targetTabs.HoverAt(point);
    m_panel.HoverAt(point);
    update();
}

void CKestrelView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    m_sourceTabs.ClickAt(point);
    m_targetTabs.ClickAt(point);
    if (m_panel.HitsAbort(point))
        m_pDoc->AbortCurrentTask();
    LayoutPages();
    update();
}

void CKestrelView::OnTransfer()
{
    CWaitCursor wait;
    m_pDoc->QueueTasks(static_cast<CSourceDevice*>(GetCurrentSource()), nullptr,
                       static_cast<CTargetDevice*>(GetCurrentTarget()));
}

void CKestrelView::OnPageBroadcast(int code)
{
    m_pDoc->Broadcast(code, nullptr);
}

void CKestrelView::OnBroadcast(int code, void*)
{
    if (code == EVENT_DEVICE_ARRIVED || code == EVENT_DEVICE_REMOVED)
        UpdateTransferButton();
}

CBaseDevice* CKestrelView::DeviceWithId(const GUID& id) const
{
    for (CBaseDevice* device : m_pDoc->Devices()) {
        if (device->Identifier() == id)
            return device;
    }
    return nullptr;
}

CBaseDevice* CKestrelView::GetCurrentSource() const
{
    return DeviceWithId(m_sourceTabs.GetSelectedId());
}

CBaseDevice* CKestrelView::GetCurrentTarget() const
{
    return DeviceWithId(m_targetTabs.GetSelectedId());
}

void CKestrelView::PlacePage(CBaseDevice* device, const QRect& area)
{
    CDevicePage* page = device->Page();
    page->setEnabled(true);
    page->setGeometry(area.adjusted(kPageInset, kPageInset, -kPageInset, -kPageInset));
    page->show();
}

void CKestrelView::LayoutPages()
{
    const GUID source = m_sourceTabs.GetSelectedId();
    const GUID target = m_targetTabs.GetSelectedId();
    for (CBaseDevice* device : m_pDoc->Devices()) {
        if (!device->Page())
            continue;
        if (device->Identifier() == source)
            PlacePage(device, m_sourceTabs.PanelRect());
        else if (device->Identifier() == target)
            PlacePage(device, m_targetTabs.PanelRect());
        else
            device->Page()->hide();
    }
    UpdateTransferButton();
}

void CKestrelView::UpdateTransferButton()
{
    CBaseDevice* source = GetCurrentSource();
    CBaseDevice* target = GetCurrentTarget();
    m_transfer->setEnabled(source && target && source->IsAvailable() && target->IsAvailable());
}
