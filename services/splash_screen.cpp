#include "services/splash_screen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

#include "res/string_table.h"
#include "services/missing_component_dlg.h"
#include "ui/bitmap_image.h"
#include "ui/control_id.h"
#include "ui/hyper_link.h"

namespace {

constexpr int IDS_VERSION = 230;
constexpr int IDS_WEB_ADDRESS = 403;

QImage SplashPicture()
{
    CBitmapImage picture;
    return picture.LoadFromResource(CSplashScreen::IDB_SPLASH) ? picture.Image() : QImage();
}

// The texts lie directly on the picture, in black.
void MakeTransparent(QWidget* control)
{
    control->setAutoFillBackground(false);
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    control->setPalette(palette);
}

}  // namespace

QString VersionText(const ProductVersion& version)
{
    return FormatString(IDS_VERSION, {QString::number(version.major), QString::number(version.minor),
                                      QString::number(version.third), QString::number(version.build)});
}

CSplashScreen::CSplashScreen(QWidget* parent)
    : CBaseDialog(parent),
      m_picture(SplashPicture()),
      m_version(SetControlId(new QLabel(this), IDC_VERSION)),
      m_webLink(SetControlId(new CHyperLink(QString(), this), IDC_WEB_LINK)),
      m_ok(SetControlId(new QPushButton(tr("OK"), this), IDOK))
{
    setWindowTitle(tr("About §APPNAME§"));
    MakeTransparent(m_version);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_webLink, 0, Qt::AlignBottom);
    bottom->addStretch(1);
    bottom->addWidget(m_ok, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_version);
    layout->addLayout(bottom);
    setFixedSize(m_picture.isNull() ? QSize(kPictureWidth, kPictureHeight) : m_picture.size());
}

void CSplashScreen::OnInitDialog()
{
    CBaseDialog::OnInitDialog();
    // The template is one pixel larger than the picture each way; trimming
    // it keeps an unpainted edge from showing.
    setFixedSize(size() - QSize(1, 1));
    m_version->setText(VersionText(ProgramVersion()));
    const QString address = LoadString(IDS_WEB_ADDRESS);
    m_webLink->setText(LinkCaption(address));
    m_webLink->SetLink(address);
}

void CSplashScreen::ShowSplash()
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    m_ok->hide();
    show();
    m_nTimer = startTimer(kSplashMilliseconds);
}

void CSplashScreen::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

void CSplashScreen::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_nTimer)
        return CBaseDialog::timerEvent(event);
    killTimer(m_nTimer);
    m_nTimer = 0;
    close();
}
