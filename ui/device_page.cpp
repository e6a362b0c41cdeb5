#include "ui/device_page.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/erase_handler.h"

CDevicePage::CDevicePage(CBaseDevice* device, CKestrelDoc* document) : m_device(device), m_document(document) {}

void CDevicePage::Create(QWidget* parent)
{
    setParent(parent);
    setObjectName(QString::number(GetTemplateId()));
    setEnabled(false);
    hide();
    create();
    OnInitDialog();
}

void CDevicePage::OnInitDialog()
{
    SetAnchorHost(this);
}

void CDevicePage::SetEraseHandler(CEraseHandler* handler)
{
    m_pEraseHandler = handler;
    update();
}

void CDevicePage::OnFirstShow() {}

int CDevicePage::GetTemplateId() const
{
    return 0;
}

void CDevicePage::OnBroadcast(int, void*) {}

void CDevicePage::GetMarkedItems(QStringList&) {}

void CDevicePage::ClearMarks() {}

QString CDevicePage::GetCurrentFolderPath() const
{
    return {};
}

void CDevicePage::paintEvent(QPaintEvent* event)
{
    if (!m_pEraseHandler)
        return QWidget::paintEvent(event);
    QPainter painter(this);
    EraseWithHandler(*m_pEraseHandler, *this, painter);
}

void CDevicePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ArrangeAnchors();
}

void CDevicePage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_bFirstShow)
        return;
    m_bFirstShow = false;
    OnFirstShow();
}

void CDevicePage::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
