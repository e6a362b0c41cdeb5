#include "services/update_server.h"

#include <QUrl>

#include "services/settings_store.h"

namespace {
constexpr const char* kDefaultUpdateServer = "updates.orvex.example/tavimo";

QUrl ServerUrl()
{
    return QUrl(QStringLiteral("http://") + UpdateServer());
}
}  // namespace

QString UpdateServer()
{
    return GetProfileString(kGeneralSection, kUpdateServerEntry, QString::fromLatin1(kDefaultUpdateServer));
}

QString ManifestUrl()
{
    return QStringLiteral("http://") + UpdateServer() + QStringLiteral("/tavimo1.xml");
}

bool IsOnUpdateServer(const QString& url)
{
    const QUrl address(url);
    const QUrl server = ServerUrl();
    return address.isValid() && address.scheme() == QLatin1String("http") && !address.host().isEmpty() &&
           address.host() == server.host() && address.port(80) == server.port(80);
}
