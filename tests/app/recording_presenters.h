// Stand-ins for what the program shows and switches: messages are recorded
// instead of shown, power requests instead of made.
#pragma once

#include <QStringList>

#include "platform/power/power_control.h"
#include "tests/app/qstring_printer.h"
#include "ui/messages.h"

namespace program_testing {

class RecordingPresenter final : public MessagePresenter {
public:
    RecordingPresenter() : m_scope(*this) {}
    void ShowMessageBox(const QString& text, MessageIcon) override { messages << text; }
    void ShowErrorDialog(const QString& text) override { errors << text; }
    bool AskYesNo(const QString& text, MessageIcon) override
    {
        questions << text;
        return answer;
    }

    QStringList messages;   // message boxes
    QStringList errors;     // error dialogs
    QStringList questions;  // Yes/No questions, answered with `answer`
    bool answer = false;

private:
    ScopedMessagePresenter m_scope;
};

class RecordingPower final : public PowerControl {
public:
    RecordingPower() : m_scope(*this) {}
    void KeepAwake(bool on) override { awake = on; }
    bool PowerOff() override
    {
        ++powerOffs;
        return !refuses;
    }

    bool awake = false;
    int powerOffs = 0;     // requests, granted or refused
    bool refuses = false;  // as logind does for a user without the right

private:
    ScopedPowerControl m_scope;
};

}  // namespace program_testing
