// Shown while the program waits for the last transfer before it turns the
// computer off; Cancel gives up the power-off and the transfers go on.
#pragma once

#include "ui/base_dialog.h"

class CPowerOffWaitDlg final : public CBaseDialog {
    Q_OBJECT

public:
    explicit CPowerOffWaitDlg(QWidget* parent = nullptr);
};
