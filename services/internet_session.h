// The update check's HTTP: blocking GETs through libcurl with the media
// engine's connect and stall time-outs, limited to the update server.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "platform/com/hresult.h"

// An answer larger than a fetch takes.
inline constexpr HRESULT UPDATE_E_TOO_LARGE = MakeHResult(0x80040302);

// Fetches the whole body of `url`, at most `limit` bytes (blocks until it is
// in, fails or `stop` is set). S_OK, or the failure: no connection, unknown
// host, time-out, an HTTP error status, another host, a larger body
// (UPDATE_E_TOO_LARGE), E_ABORT when stopped.
HRESULT FetchBytes(const QString& url, QByteArray& body, qsizetype limit, const std::atomic<bool>& stop);

// Receives the body of `url` piece by piece. `onHeaders` runs once the
// response's headers are in, with its Content-Length (if it gave one);
// returning false there, or from `onData`, ends the transfer (S_FALSE).
// Setting `stop` ends it as well (E_ABORT). S_OK when the whole body arrived.
HRESULT ReceiveUrl(const QString& url, const std::function<bool(std::optional<qint64> contentLength)>& onHeaders,
                   const std::function<bool(const char* data, qsizetype size)>& onData, const std::atomic<bool>& stop);

// The sentence the user reads for a failed request.
QString InternetErrorText(HRESULT failure);
