// A text that opens an address when clicked, in the colours of a web link
// (normal, visited, under the mouse), with a hand cursor and the address as
// its tooltip. Opening goes through a process-wide opener that tests replace
// with ScopedLinkOpener, so that no test opens anything real.
#pragma once

#include <QColor>
#include <QLabel>
#include <functional>

// Opens an address; returns a ShellExecute-style result: greater than 32 on
// success, otherwise the reason (see HyperlinkErrorText).
using LinkOpener = std::function<int(const QString& address)>;

class ScopedLinkOpener {
public:
    explicit ScopedLinkOpener(LinkOpener opener);
    ~ScopedLinkOpener();
    ScopedLinkOpener(const ScopedLinkOpener&) = delete;
    ScopedLinkOpener& operator=(const ScopedLinkOpener&) = delete;

private:
    LinkOpener m_previous;
};

// The reason text for a failed open result ("Unknown Error (%d) occurred."
// for results without a text of their own).
QString HyperlinkErrorText(int result);

class CHyperLink : public QLabel {
    Q_OBJECT

public:
    enum UnderlineMode : int { UnderlineHover = -1, UnderlineNever = 0, UnderlineAlways = 1 };

    // The text is also the address until SetLink gives another one.
    explicit CHyperLink(const QString& text = {}, QWidget* parent = nullptr);

    // Stores the address, shows it as tooltip (and as text when the text is
    // empty) and fits the control to its text.
    void SetLink(const QString& address);
    QString Link() const { return m_strLink; }
    void SetUnderlineMode(int mode);
    void SetFitToText(bool fit) { m_bFitToText = fit; }
    // Resizes the control to its text, keeping the edges its alignment names.
    void FitToText();

    // Opens the address through the current opener.
    static int OpenLink(const QString& address);

    bool IsHot() const { return m_bHot; }
    bool WasOpened() const { return m_bWasOpened; }
    // The colour the text has now.
    QColor CurrentColor() const;

    QColor m_clrNormal{0, 0, 238};
    QColor m_clrVisitedLink{85, 26, 139};
    QColor m_clrHot{255, 0, 0};

signals:
    void linkOpened(bool success);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // What a click does: open, remember the outcome, report a failure.
    void Click();
    void SetHot(bool hot);
    void UpdateLook();

    QString m_strLink;
    bool m_bHot = false;
    bool m_bWasOpened = false;
    int m_nUnderlineMode = UnderlineHover;
    bool m_bFitToText = true;
};
