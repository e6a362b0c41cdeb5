// A static text that lets the shared page background show behind it: with an
// erase handler it paints its part of the background, then its text.
#pragma once

#include <QLabel>

class CEraseHandler;

class CExStatic : public QLabel {
    Q_OBJECT

public:
    explicit CExStatic(const QString& text = {}, QWidget* parent = nullptr);

    // Not owned; null paints no background (the parent's shows through).
    void SetEraseHandler(CEraseHandler* handler);
    CEraseHandler* EraseHandler() const { return m_pEraseHandler; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CEraseHandler* m_pEraseHandler = nullptr;
};
