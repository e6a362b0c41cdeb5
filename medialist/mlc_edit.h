// The edit box a media list opens over a row to rename its file: Enter or
// leaving it commits, Escape cancels.
#pragma once

#include <QLineEdit>

class CMLCEdit final : public QLineEdit {
    Q_OBJECT

public:
    explicit CMLCEdit(QWidget* parent);

signals:
    void Return();
    void Escape();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
