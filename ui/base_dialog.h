// The base of the program's modal dialogs. Their texts carry "§APPNAME§"
// where the application's name belongs; when the dialog is first shown (or
// OnInitDialog is called), the placeholder is replaced in the caption and in
// the text of every label, button and group box inside it.
#pragma once

#include <QDialog>

// Replaces "§APPNAME§" in the window title of `window` and in the texts of
// all the labels, buttons and group boxes inside it.
void ReplaceAppNameInWindow(QWidget& window);

class CBaseDialog : public QDialog {
    Q_OBJECT

public:
    explicit CBaseDialog(QWidget* parent = nullptr);

protected:
    // Called once, before the dialog is first shown. Derived dialogs that
    // override it call this first.
    virtual void OnInitDialog();
    void showEvent(QShowEvent* event) override;

private:
    bool m_bInitialized = false;
};
