// Where the update check goes: the host (and path) named by the profile
// value "General"/"UpdateServer", or a built-in one. The check reaches no
// other host: addresses elsewhere are refused before any connection.
#pragma once

#include <QString>

#include "platform/com/hresult.h"

// An address that is not on the update server.
inline constexpr HRESULT UPDATE_E_OTHER_HOST = MakeHResult(0x80040301);

// "host[:port][/path]", without "http://".
QString UpdateServer();
// "http://" + server + "/tavimo1.xml"
QString ManifestUrl();
// Whether `url` is an http address on the update server's host and port.
bool IsOnUpdateServer(const QString& url);
