// Shown while the program waits for the last transfer before it turns the
// computer off; Cancel gives up the power-off and the transfers go on. It
// closes by itself once the wait is over.
#pragma once

#include <functional>

#include "ui/base_dialog.h"

class CPowerOffWaitDlg final : public CBaseDialog {
    Q_OBJECT

public:
    // `waitIsOver` is asked a few times a second.
    explicit CPowerOffWaitDlg(QWidget* parent = nullptr, std::function<bool()> waitIsOver = {});
};
