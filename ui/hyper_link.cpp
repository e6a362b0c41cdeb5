#include "ui/hyper_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHash>
#include <QMouseEvent>
#include <QUrl>

#include "ui/messages.h"

namespace {

constexpr int kOpened = 33;            // what ShellExecute returns on success at the least
constexpr int kNoAssociation = 31;     // SE_ERR_NOASSOC

int OpenWithDesktop(const QString& address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address)) ? kOpened : kNoAssociation;
}

LinkOpener& CurrentOpener()
{
    static LinkOpener opener = OpenWithDesktop;
    return opener;
}

}  // namespace

ScopedLinkOpener::ScopedLinkOpener(LinkOpener opener) : m_previous(std::move(CurrentOpener()))
{
    CurrentOpener() = std::move(opener);
}

ScopedLinkOpener::~ScopedLinkOpener()
{
    CurrentOpener() = std::move(m_previous);
}

QString HyperlinkErrorText(int result)
{
    static const QHash<int, const char*> reasons = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
    };
    const char* reason = reasons.value(result, nullptr);
    return reason ? QString::fromLatin1(reason) : QStringLiteral("Unknown Error (%1) occurred.").arg(result);
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent), m_strLink(text)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setToolTip(m_strLink);
    UpdateLook();
    FitToText();
}

void CHyperLink::SetLink(const QString& address)
{
    m_strLink = address;
    if (text().isEmpty())
        setText(address);
    setToolTip(address);
    FitToText();
}

void CHyperLink::SetUnderlineMode(int mode)
{
    m_nUnderlineMode = mode;
    UpdateLook();
}

void CHyperLink::FitToText()
{
    if (!m_bFitToText)
        return;
    const QSize fitted = fontMetrics().size(Qt::TextSingleLine, text()) + QSize(2 * frameWidth(), 2 * frameWidth());
    const QRect old = geometry();
    QRect placed(old.topLeft(), fitted);
    const Qt::Alignment align = alignment();
    if (align & Qt::AlignVCenter)
        placed.moveTop(old.top() + (old.height() - fitted.height()) / 2);
    if (align & Qt::AlignHCenter)
        placed.moveLeft(old.left() + (old.width() - fitted.width()) / 2);
    else if (align & Qt::AlignRight)
        placed.moveRight(old.right());
    setGeometry(placed);
}

int CHyperLink::OpenLink(const QString& address)
{
    return CurrentOpener()(address);
}

QColor CHyperLink::CurrentColor() const
{
    if (m_bHot)
        return m_clrHot;
    return m_bWasOpened ? m_clrVisitedLink : m_clrNormal;
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event)
{
    SetHot(true);
    QLabel::mouseMoveEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event)
{
    SetHot(false);
    QLabel::leaveEvent(event);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void CHyperLink::Click()
{
    m_bHot = false;
    const int result = OpenLink(m_strLink);
    m_bWasOpened = result > 32;
    UpdateLook();
    emit linkOpened(m_bWasOpened);
    if (m_bWasOpened)
        return;
    QApplication::beep();
    ShowMessage(QStringLiteral("Unable to open hyperlink:\n\n") + HyperlinkErrorText(result), MessageIcon::Warning);
}

void CHyperLink::SetHot(bool hot)
{
    if (m_bHot == hot)
        return;
    m_bHot = hot;
    UpdateLook();
}

void CHyperLink::UpdateLook()
{
    QFont look = font();
    look.setUnderline(m_nUnderlineMode == UnderlineAlways || (m_nUnderlineMode == UnderlineHover && m_bHot));
    setFont(look);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, CurrentColor());
    setPalette(colours);
}
