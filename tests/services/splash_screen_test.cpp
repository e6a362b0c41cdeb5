// The about box and the splash: the version text, the maker's link, the
// window's size and the splash closing itself.
#include "services/splash_screen.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "tests/app/qstring_printer.h"
#include "ui/control_id.h"
#include "ui/hyper_link.h"
#include "version.h"

namespace {

QString Line(const QString& text, int index)
{
    return text.split(QLatin1Char('\n')).value(index);
}

TEST(SplashScreenTest, VersionTextNamesTheProductAndItsBuild)
{
    const struct {
        ProductVersion version;
        const char* line;
    } cases[] = {
        {{1, 0, 0, 32}, "Version 1.0.0 (build 32)"},
        {{2, 10, 3, 65535}, "Version 2.10.3 (build 65535)"},
        {{0, 1, 0, 0}, "Version 0.1.0 (build 0)"},
    };
    for (const auto& c : cases) {
        const QString text = VersionText(c.version);
        EXPECT_EQ(Line(text, 0), QStringLiteral("Orvex Tavimo"));
        EXPECT_EQ(Line(text, 1), QString::fromLatin1(c.line));
        EXPECT_EQ(text.count(QLatin1Char('\n')), 3) << "two legal-notice lines follow";
    }
}

TEST(SplashScreenTest, AboutBoxShowsThisBuildsVersionAndTheMakersLink)
{
    CSplashScreen about;
    about.show();
    const auto* version = qobject_cast<QLabel*>(ControlById(&about, CSplashScreen::IDC_VERSION));
    ASSERT_NE(version, nullptr);
    const QStringList parts = QString::fromLatin1(kApplicationVersion).split(QLatin1Char('.'));
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(Line(version->text(), 1),
              QStringLiteral("Version %1.%2.%3 (build %4)").arg(parts[0], parts[1], parts[2], parts[3]));

    const auto* link = qobject_cast<CHyperLink*>(ControlById(&about, CSplashScreen::IDC_WEB_LINK));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->Link().startsWith(QLatin1String("http://")));
    EXPECT_EQ(QStringLiteral("http://") + link->text(), link->Link()) << "the caption drops \"http://\"";

    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Orvex Tavimo"));
    EXPECT_TRUE(ControlById(&about, CSplashScreen::IDOK)->isVisible());
}

TEST(SplashScreenTest, WindowIsOnePixelSmallerThanThePictureEachWay)
{
    CSplashScreen about;
    const QSize before = about.size();
    about.show();
    EXPECT_EQ(about.size(), before - QSize(1, 1));
    EXPECT_GE(before.width(), 100);
    EXPECT_GE(before.height(), 100);
}

TEST(SplashScreenTest, SplashIsModelessWithoutOkAndClosesItself)
{
    CSplashScreen splash;
    splash.ShowSplash();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(splash.isModal());
    EXPECT_FALSE(ControlById(&splash, CSplashScreen::IDOK)->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 10000));
}

}  // namespace
