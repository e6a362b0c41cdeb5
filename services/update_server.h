// Where the update check goes: the server named by the profile value
// "General"/"UpdateServer", else the one the build names
// (TAVIMO_UPDATE_SERVER), else none: then nothing is checked. A server is
// "host[:port][/path]" (plain http) or an http or https address. The check
// reaches no other host: addresses elsewhere are refused before any
// connection.
#pragma once

#include <QString>

#include "platform/com/hresult.h"

// An address that is not on the update server.
inline constexpr HRESULT UPDATE_E_OTHER_HOST = MakeHResult(0x80040301);

// The configured server as written; empty when there is none (an empty
// profile value switches off a server the build names).
QString UpdateServer();
bool HasUpdateServer();
// The server's address + "/tavimo1.xml"; empty without a server.
QString ManifestUrl();
// Whether `url` is on the update server: its scheme, host and port.
bool IsOnUpdateServer(const QString& url);
