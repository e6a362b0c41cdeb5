#include "services/update_server.h"

#include <QUrl>

#include "services/settings_store.h"
#include "version.h"

namespace {

// "host/path" is taken as plain http, as the profile value always was.
QString ServerAddress()
{
    QString server = UpdateServer().trimmed();
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    if (server.isEmpty() || server.contains(QLatin1String("://")))
        return server;
    return QStringLiteral("http://") + server;
}

bool IsWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

int PortOf(const QUrl& url)
{
    return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
}

}  // namespace

QString UpdateServer()
{
    return GetProfileString(kGeneralSection, kUpdateServerEntry, QString::fromUtf8(kBuiltInUpdateServer));
}

bool HasUpdateServer()
{
    return !ServerAddress().isEmpty();
}

QString ManifestUrl()
{
    const QString server = ServerAddress();
    return server.isEmpty() ? server : server + QStringLiteral("/tavimo1.xml");
}

bool IsOnUpdateServer(const QString& url)
{
    const QUrl address(url);
    const QUrl server(ServerAddress());
    // The server's own scheme: an https server never leads to a plain download.
    return IsWebAddress(server) && IsWebAddress(address) && address.scheme() == server.scheme() &&
           address.host() == server.host() && PortOf(address) == PortOf(server);
}
