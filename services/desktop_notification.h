// A message in the desktop's notification bubble (the freedesktop
// notification server on the session bus), for news the user may miss while
// the window is hidden, such as the end of a long queue.
#pragma once

#include <QDBusConnection>
#include <QString>

// Sends the notification without waiting for an answer: where no bus or no
// notification server is there, nothing shows and nothing waits. Returns
// whether it could be sent at all. The bus is replaceable for tests.
bool ShowDesktopNotification(const QString& summary, const QString& body,
                             const QDBusConnection& bus = QDBusConnection::sessionBus());
