// The modeless error window: a stop icon, the error text (read-only, wrapped,
// scrollable) and OK. It shows itself at once and deletes itself when closed,
// so the caller never waits and never owns it; several may be open at once.
#pragma once

#include <QDialog>

class QLabel;
class QTextEdit;

class CErrorDialog final : public QDialog {
    Q_OBJECT

public:
    // Control ids, kept as object names.
    enum Control : int { OkButton = 1, TextControl = 1118, IconControl = 1119 };

    // Creates and shows the window; `parent` is its owner (the active window
    // when null). Create it with new; it deletes itself.
    explicit CErrorDialog(const QString& message, QWidget* parent = nullptr);

    QString Message() const { return m_message; }

private:
    void CenterOnOwner();

    QString m_message;
    QTextEdit* m_text;
    QLabel* m_icon;
};
