// Tells the user that a component the transfer needs is missing, with a
// link to where it can be had. In a terminal the same is printed on stderr.
#pragma once

#include <QDialog>
#include <QString>

class CMissingComponentDlg final : public QDialog {
    Q_OBJECT

public:
    CMissingComponentDlg(const QString& message, const QString& address, QWidget* parent = nullptr);

    // Shows the dialog modally when there is a display, else prints it.
    static void Show(const QString& message, const QString& address);
};

// The link's caption: the address without its "http://".
QString LinkCaption(const QString& address);
