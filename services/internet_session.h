// The update check's HTTP: blocking GETs through libcurl with the media
// engine's connect and stall time-outs, limited to the update server.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "platform/com/hresult.h"

// Fetches the whole body of `url` (blocks). S_OK, or the failure: no
// connection, unknown host, time-out, an HTTP error status, another host.
HRESULT FetchBytes(const QString& url, QByteArray& body);

// Receives the body of `url` piece by piece. `onHeaders` runs once the
// response's headers are in, with its Content-Length (if it gave one);
// returning false ends the transfer (S_FALSE). Setting `stop` ends it as
// well (E_ABORT). S_OK when the whole body arrived.
HRESULT ReceiveUrl(const QString& url, const std::function<bool(std::optional<qint64> contentLength)>& onHeaders,
                   const std::function<void(const char* data, qsizetype size)>& onData, const std::atomic<bool>& stop);

// The sentence the user reads for a failed request.
QString InternetErrorText(HRESULT failure);
