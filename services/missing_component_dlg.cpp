#include "services/missing_component_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "res/string_table.h"
#include "ui/messages.h"

namespace {
// Control ids the dialog keeps for its message, icon and link.
constexpr int kMessageText = 1118;
constexpr int kIcon = 1119;
constexpr int kLink = 1141;

QLabel* NamedLabel(QWidget* parent, int id)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(id));
    return label;
}
}  // namespace

QString LinkCaption(const QString& address)
{
    return address.startsWith(QLatin1String("http://")) ? address.mid(7) : address;
}

CMissingComponentDlg::CMissingComponentDlg(const QString& message, const QString& address, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(AppName());
    auto* icon = NamedLabel(this, kIcon);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    auto* text = NamedLabel(this, kMessageText);
    text->setText(ReplaceAppName(message));
    text->setWordWrap(true);
    auto* link = NamedLabel(this, kLink);
    link->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), LinkCaption(address).toHtmlEscaped()));
    link->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(link);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void CMissingComponentDlg::Show(const QString& message, const QString& address)
{
    if (!HasDisplay()) {
        ShowMessage(ReplaceAppName(message) + QLatin1Char(' ') + address);
        return;
    }
    CMissingComponentDlg dialog(message, address);
    dialog.exec();
}
