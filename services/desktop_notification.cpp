#include "services/desktop_notification.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "res/string_table.h"

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr int kServerChoosesTimeout = -1;

}  // namespace

bool ShowDesktopNotification(const QString& summary, const QString& body, const QDBusConnection& bus)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << LoadString(IDS_APPNAME) << 0u << QStringLiteral("orvex-tavimo") << summary << body << QStringList()
           << QVariantMap() << kServerChoosesTimeout;
    // A server that is not running may still be started by the bus; either
    // way the answer is not ours to wait for.
    return bus.send(notify);
}
