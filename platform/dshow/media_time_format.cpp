#include "platform/dshow/media_time_format.h"

#include "platform/dshow/media_guids.h"

namespace media_time_format {

namespace {

// A missing format means the one in use, which is always media time.
bool IsMediaTime(const GUID* format) { return !format || *format == TIME_FORMAT_MEDIA_TIME; }

}  // namespace

HRESULT IsFormatSupported(const GUID* format)
{
    if (!format) return E_POINTER;
    return IsMediaTime(format) ? S_OK : S_FALSE;
}

HRESULT GetTimeFormat(GUID* format)
{
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT SetTimeFormat(const GUID* format)
{
    if (!format) return E_POINTER;
    return IsMediaTime(format) ? S_OK : E_INVALIDARG;
}

HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source, const GUID* sourceFormat)
{
    if (!target) return E_POINTER;
    if (!IsMediaTime(targetFormat) || !IsMediaTime(sourceFormat)) return E_INVALIDARG;
    *target = source;
    return S_OK;
}

HRESULT CheckCapabilities(DWORD available, DWORD* asked)
{
    if (!asked) return E_POINTER;
    const DWORD wanted = *asked;
    *asked &= available;
    if (*asked == wanted) return S_OK;
    return *asked ? S_FALSE : E_FAIL;
}

}  // namespace media_time_format
