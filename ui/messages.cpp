#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <cstdio>

#include "res/string_table.h"
#include "ui/error_dialog.h"

namespace {

// Without a window system every message is one line on stderr.
class TerminalPresenter final : public MessagePresenter {
public:
    void ShowMessageBox(const QString& text, MessageIcon icon) override
    {
        const char* kind = icon == MessageIcon::Error ? "error" : icon == MessageIcon::Warning ? "warning" : "note";
        std::fprintf(stderr, "%s: %s: %s\n", qPrintable(AppName()), kind, qPrintable(text));
    }
    void ShowErrorDialog(const QString& text) override { ShowMessageBox(text, MessageIcon::Error); }
    bool AskYesNo(const QString& text, MessageIcon icon) override
    {
        ShowMessageBox(text, icon);
        return false;
    }
};

QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QPointer<QWidget> errorDialogOwner;

class WindowPresenter final : public MessagePresenter {
public:
    void ShowMessageBox(const QString& text, MessageIcon icon) override
    {
        QMessageBox box(BoxIcon(icon), AppName(), text, QMessageBox::Ok);
        box.exec();
    }
    bool AskYesNo(const QString& text, MessageIcon icon) override
    {
        QMessageBox box(BoxIcon(icon), AppName(), text, QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    // Modeless: the dialog shows itself and deletes itself when closed.
    void ShowErrorDialog(const QString& text) override { new CErrorDialog(text, errorDialogOwner); }
};

MessagePresenter* replacement = nullptr;

}  // namespace

bool HasDisplay()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           QGuiApplication::platformName() != QLatin1String("offscreen") &&
           QGuiApplication::platformName() != QLatin1String("minimal");
}

MessagePresenter& WindowMessagePresenter()
{
    static WindowPresenter window;
    return window;
}

MessagePresenter& TheMessagePresenter()
{
    static TerminalPresenter terminal;
    if (replacement)
        return *replacement;
    if (HasDisplay())
        return WindowMessagePresenter();
    return terminal;
}

void SetErrorDialogOwner(QWidget* owner)
{
    errorDialogOwner = owner;
}

ScopedMessagePresenter::ScopedMessagePresenter(MessagePresenter& presenter) : m_previous(replacement)
{
    replacement = &presenter;
}

ScopedMessagePresenter::~ScopedMessagePresenter()
{
    replacement = m_previous;
}

void ShowMessage(const QString& text, MessageIcon icon)
{
    TheMessagePresenter().ShowMessageBox(ReplaceAppName(text), icon);
}

bool AskYesNo(const QString& text, MessageIcon icon)
{
    return TheMessagePresenter().AskYesNo(ReplaceAppName(text), icon);
}

void ShowError(const QString& message, bool asMessageBox)
{
    const QString text = ReplaceAppName(message);
    if (asMessageBox)
        TheMessagePresenter().ShowMessageBox(text, MessageIcon::Error);
    else
        TheMessagePresenter().ShowErrorDialog(text);
}
