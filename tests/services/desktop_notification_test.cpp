// The desktop notification goes to whatever serves
// org.freedesktop.Notifications on the bus it is given; here a private
// dbus-daemon of the test's own, never the desktop's session bus.
#include "services/desktop_notification.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "tests/app/qstring_printer.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr const char* kBusConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// A bus daemon with no services to start, so nothing outside the test answers.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString config = QString::fromStdString(folder_.File("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(QString(kBusConfig).arg(QString::fromStdString(folder_.File("bus"))).toUtf8()) < 0)
            return;
        file.close();
        daemon_.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--nopidfile", "--print-address=1"});
        if (daemon_.waitForReadyRead(10000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        daemon_.kill();
        daemon_.waitForFinished();
    }

    QString Address() const { return address_; }

private:
    testing_files::TempFolder folder_;
    QProcess daemon_;
    QString address_;
};

// Answers Notify as a notification server does and keeps what it was asked.
class FakeNotificationServer final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() != "org.freedesktop.Notifications" || message.member() != "Notify")
            return false;
        calls.append(message.arguments());
        connection.send(message.createReply(QVariantList{static_cast<uint>(calls.size())}));
        return true;
    }

    QList<QVariantList> calls;
};

class DesktopNotificationTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (bus.Address().isEmpty())
            GTEST_SKIP() << "dbus-daemon could not be started";
    }
    ~DesktopNotificationTest() override
    {
        QDBusConnection::disconnectFromBus("server");
        QDBusConnection::disconnectFromBus("client");
    }

    QDBusConnection Connect(const QString& name) { return QDBusConnection::connectToBus(bus.Address(), name); }

    PrivateBus bus;
};

TEST_F(DesktopNotificationTest, TheServerIsToldTheProgramTheSummaryAndTheBody)
{
    FakeNotificationServer server;
    QDBusConnection serverConnection = Connect("server");
    ASSERT_TRUE(serverConnection.registerService("org.freedesktop.Notifications"));
    ASSERT_TRUE(serverConnection.registerVirtualObject("/org/freedesktop/Notifications", &server));

    EXPECT_TRUE(ShowDesktopNotification("The transfers have ended", "3 item(s) transferred, 1 failed.",
                                        Connect("client")));
    QTRY_COMPARE_WITH_TIMEOUT(server.calls.size(), 1, 10000);
    const QVariantList call = server.calls.front();
    ASSERT_EQ(call.size(), 8);
    EXPECT_EQ(call[0].toString(), "Orvex Tavimo");
    EXPECT_EQ(call[2].toString(), "orvex-tavimo");
    EXPECT_EQ(call[3].toString(), "The transfers have ended");
    EXPECT_EQ(call[4].toString(), "3 item(s) transferred, 1 failed.");
}

TEST_F(DesktopNotificationTest, WithoutAServerOrABusNothingWaitsOrBreaks)
{
    // A bus where nobody serves notifications: sent, and the error answer is dropped.
    EXPECT_TRUE(ShowDesktopNotification("summary", "body", Connect("client")));
    QTest::qWait(100);
    // No bus at all.
    EXPECT_FALSE(ShowDesktopNotification(
        "summary", "body", QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "nobus")));
    QDBusConnection::disconnectFromBus("nobus");
}

}  // namespace
