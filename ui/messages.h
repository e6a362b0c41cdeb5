// Where the program's messages go: message boxes and the error dialog in
// the window, or lines on stderr when there is no display. Tests put a
// recording presenter in place with ScopedMessagePresenter.
// User-interface thread only.
#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { Error, Warning, Information };

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // A modal message box with an OK button.
    virtual void ShowMessageBox(const QString& text, MessageIcon icon) = 0;
    // The modeless error dialog (the transfer error); does not wait.
    virtual void ShowErrorDialog(const QString& text) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text, MessageIcon icon) = 0;
};

// Message boxes when the program has a window system, stderr otherwise.
MessagePresenter& TheMessagePresenter();

// The one that shows windows, which TheMessagePresenter gives only with a
// window system; tests put it in place to see its windows offscreen.
MessagePresenter& WindowMessagePresenter();

// The window that owns the error dialogs: the main window, so that an error
// stays until dismissed whatever window is active (a dialog that closes takes
// the windows it owns with it). Kept until that window is destroyed; while
// there is none, the active window owns them.
void SetErrorDialogOwner(QWidget* owner);

class ScopedMessagePresenter {
public:
    explicit ScopedMessagePresenter(MessagePresenter& replacement);
    ~ScopedMessagePresenter();
    ScopedMessagePresenter(const ScopedMessagePresenter&) = delete;
    ScopedMessagePresenter& operator=(const ScopedMessagePresenter&) = delete;

private:
    MessagePresenter* m_previous;
};

// A message box with that icon ("§APPNAME§" replaced).
void ShowMessage(const QString& text, MessageIcon icon = MessageIcon::Error);

// A Yes/No question ("§APPNAME§" replaced); true for Yes. Without a
// display nobody can answer, so the answer is No.
bool AskYesNo(const QString& text, MessageIcon icon = MessageIcon::Warning);

// The program's error report: a message box, or the modeless error dialog.
void ShowError(const QString& message, bool asMessageBox);

// Whether the program runs with a window system (not offscreen, not in a
// terminal without a display).
bool HasDisplay();
