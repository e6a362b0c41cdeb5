#include "services/internet_session.h"

#include <memory>

#include "platform/net/http_transfer.h"
#include "services/update_server.h"

HRESULT ReceiveUrl(const QString& url, const std::function<bool(std::optional<qint64> contentLength)>& onHeaders,
                   const std::function<bool(const char* data, qsizetype size)>& onData, const std::atomic<bool>& stop)
{
    if (!IsOnUpdateServer(url))
        return UPDATE_E_OTHER_HOST;
    std::unique_ptr<HttpTransfer> transfer;
    bool reported = false;
    bool declined = false;
    // Reports the headers once, whether the body or the end comes first.
    const auto accepted = [&] {
        if (!reported) {
            reported = true;
            declined = !onHeaders(transfer->ContentLength());
        }
        return !declined;
    };
    transfer = std::make_unique<HttpTransfer>(
        url.toStdString(), CurrentHttpTimeouts(), std::nullopt, [&](const uint8_t* data, size_t size) {
            if (accepted() && !onData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)))
                declined = true;
        });
    const HRESULT hr = transfer->Pump([&] { return transfer->HeadersDone() && !accepted(); }, stop);
    if (hr == VFW_E_WRONG_STATE)
        return E_ABORT;
    if (FAILED(hr))
        return hr;
    if (hr == S_OK)
        return S_FALSE;
    return accepted() ? S_OK : S_FALSE;
}

HRESULT FetchBytes(const QString& url, QByteArray& body, qsizetype limit, const std::atomic<bool>& stop)
{
    body.clear();
    bool tooLarge = false;
    // The server is not trusted to send only what a manifest needs.
    const auto fits = [&](qint64 size) {
        tooLarge = tooLarge || size > limit;
        return !tooLarge;
    };
    const HRESULT hr = ReceiveUrl(
        url, [&](std::optional<qint64> length) { return fits(length.value_or(0)); },
        [&](const char* data, qsizetype size) {
            if (fits(body.size() + size))
                body.append(data, size);
            return !tooLarge;
        },
        stop);
    return tooLarge ? UPDATE_E_TOO_LARGE : hr;
}

QString InternetErrorText(HRESULT failure)
{
    // The texts the system gives for these internet errors.
    switch (failure) {
    case HTTP_E_CONNECTION_REFUSED: return QStringLiteral("A connection with the server could not be established");
    case HTTP_E_HOST_UNREACHABLE: return QStringLiteral("The server name or address could not be resolved");
    case HRESULT_FROM_WIN32(ERROR_TIMEOUT): return QStringLiteral("The operation timed out");
    case HRESULT_FROM_WIN32(ERROR_READ_FAULT):
        return QStringLiteral("The connection with the server was terminated abnormally");
    case VFW_E_NOT_FOUND: return QStringLiteral("The requested file was not found on the server");
    case E_ACCESSDENIED: return QStringLiteral("The server refused access to the requested file");
    case E_INVALIDARG: return QStringLiteral("The URL is invalid");
    case UPDATE_E_OTHER_HOST: return QStringLiteral("The address is not on the update server");
    default: return QStringLiteral("The request to the server failed");
    }
}
