// Asked when the main window closes while transfers are queued or running:
// quit now, keep running, or wait and turn the computer off afterwards.
#pragma once

#include "app/kestrel_doc.h"
#include "ui/base_dialog.h"

class QRadioButton;

class CCloseAppDlg final : public CBaseDialog {
    Q_OBJECT

public:
    explicit CCloseAppDlg(QWidget* parent = nullptr);

    // CLOSE_NO, CLOSE_YES or CLOSE_POWER_OFF; CLOSE_NO unless OK was pressed.
    int Choice() const { return m_choice; }

    void accept() override;

private:
    QRadioButton* AddChoice(const QString& text, int id);

    int m_choice = CLOSE_NO;
};
