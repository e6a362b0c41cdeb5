// The product picture with the version and the maker's web link: modal as
// the about box (with OK), modeless as the start-up splash, which closes
// itself after 1.5 s. User-interface thread only.
#pragma once

#include <QImage>
#include <QString>

#include "services/program_version.h"
#include "ui/base_dialog.h"

class CHyperLink;
class QLabel;
class QPushButton;

// String 230 with the version filled in: the application name, the line
// "Version a.b.c (build d)" and the legal notice.
QString VersionText(const ProductVersion& version);

class CSplashScreen : public CBaseDialog {
    Q_OBJECT

public:
    enum ControlId : int { IDOK = 1, IDC_VERSION = 1087, IDC_WEB_LINK = 1141 };
    static constexpr int IDB_SPLASH = 346;
    static constexpr int kCloseTimer = 100;
    static constexpr int kSplashMilliseconds = 1500;
    // Used when the picture is missing, so the window keeps its size.
    static constexpr int kPictureWidth = 480;
    static constexpr int kPictureHeight = 300;

    // The about box.
    explicit CSplashScreen(QWidget* parent = nullptr);

    // Turns the window into the start-up splash (no frame, no OK button),
    // shows it and starts the timer that closes it.
    void ShowSplash();

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QImage m_picture;
    QLabel* m_version;
    CHyperLink* m_webLink;
    QPushButton* m_ok;
    int m_nTimer = 0;
};
