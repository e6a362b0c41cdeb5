// The program's start as the update check shapes it: silent without an
// update server, never held by a slow one, and the menu switch that says
// when no server is configured.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <optional>

#include "app/kestrel_app.h"
#include "app/main_frame.h"
#include "services/settings_store.h"
#include "services/update_check.h"
#include "tests/app/qstring_printer.h"
#include "tests/app/recording_presenters.h"
#include "tests/services/isolated_settings.h"
#include "tests/services/raw_http_reply.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_home.h"
#include "version.h"

namespace {

using program_testing::RecordingPresenter;
using services_testing::IsolatedSettings;
using services_testing::RawHttpReply;
using services_testing::ScopedVariable;

// How long the update check may hold the main window, or the program's end.
constexpr qint64 kBoundMs = 3000;

class StartUpTest : public testing::Test {
protected:
    testing_files::TempHome home;
    IsolatedSettings settings;
    RecordingPresenter presenter;
};

TEST_F(StartUpTest, WithoutAServerTheStartSaysNothingAndConnectsNowhere)
{
    if (*kBuiltInUpdateServer)
        GTEST_SKIP() << "this build names an update server";
    // Every http(s) connection the program could make reaches this proxy instead.
    RawHttpReply proxy("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    const QString proxyAddress = QStringLiteral("http://127.0.0.1:%1").arg(proxy.Port());
    const ScopedVariable httpProxy("http_proxy", proxyAddress);
    const ScopedVariable httpsProxy("https_proxy", proxyAddress);
    const ScopedVariable noProxy("no_proxy", QString());
    const struct {
        std::optional<QString> server;
        int updateCheck;
    } cases[] = {
        {std::nullopt, 1},
        // An empty setting switches off a server the build names.
        {QString(), 1},
        // A server, but the user switched the check off.
        {QStringLiteral("127.0.0.1:%1").arg(proxy.Port()), 0},
    };
    for (const auto& c : cases) {
        const IsolatedSettings own;
        if (c.server)
            own.UseUpdateServer(*c.server);
        WriteUpdateCheckSetting(c.updateCheck);
        CKestrelApp app;
        app.InitInstance(false);
        EXPECT_TRUE(app.MainFrame()->isVisible());
        QCoreApplication::processEvents();
        if (c.updateCheck) {
            EXPECT_FALSE(CUpdateCheck().Start()) << "a check without a server";
        }
    }
    EXPECT_TRUE(presenter.messages.isEmpty());
    EXPECT_FALSE(proxy.WasAsked());
}

TEST_F(StartUpTest, ASlowServerHoldsNeitherTheWindowNorTheEnd)
{
    testing_net::LocalHttpServer server;
    testing_net::Resource stalled{"<updates/>"};
    stalled.stallFromRequest = 1;
    server.Serve("/tavimo1.xml", stalled);
    settings.UseLocalUpdateServer(server.Port());
    QElapsedTimer clock;
    clock.start();
    {
        CKestrelApp app;
        app.InitInstance(false);
        EXPECT_TRUE(app.MainFrame()->isVisible());
        EXPECT_LT(clock.elapsed(), kBoundMs) << "the window waited for the update server";
        EXPECT_TRUE(QTest::qWaitFor([&] { return server.RequestCount("/tavimo1.xml") == 1; }, 10000));
        clock.restart();
    }
    EXPECT_LT(clock.elapsed(), kBoundMs) << "the end waited for the update server";
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST_F(StartUpTest, TheWindowComesBeforeWhatTheCheckHasToSay)
{
    settings.UseLocalUpdateServer(testing_net::UnusedLocalPort());
    CKestrelApp app;
    app.InitInstance(false);
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_TRUE(presenter.messages.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !presenter.messages.isEmpty(); }, 10000));
}

TEST_F(StartUpTest, TheUpdateSwitchSaysWhenNoServerIsConfigured)
{
    const struct {
        const char* server;
        QStringList messages;
    } cases[] = {
        {"", {QStringLiteral("No update server is configured.")}},
        {"127.0.0.1:9", {}},
        {"https://updates.test/tavimo", {}},
    };
    for (const auto& c : cases) {
        settings.UseUpdateServer(QString::fromUtf8(c.server));
        presenter.messages.clear();
        CKestrelApp app;
        const bool on = app.IsUpdateCheckOn();
        app.OnUpdateCheckToggle();
        // The switch itself still turns: it is kept for when a server is configured.
        EXPECT_NE(app.IsUpdateCheckOn(), on) << c.server;
        EXPECT_EQ(ReadUpdateCheckSetting(), on ? 0 : 1) << c.server;
        EXPECT_EQ(presenter.messages, c.messages) << c.server;
    }
}

}  // namespace
