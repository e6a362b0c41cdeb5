// The parts of IMediaSeeking that every implementation here answers alike:
// positions are always in TIME_FORMAT_MEDIA_TIME (100 ns units).
#pragma once

#include "platform/dshow/dshow_types.h"

namespace media_time_format {

HRESULT IsFormatSupported(const GUID* format);
HRESULT GetTimeFormat(GUID* format);
HRESULT SetTimeFormat(const GUID* format);
HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source, const GUID* sourceFormat);
// Keeps in `asked` what `available` offers: S_OK for all, S_FALSE for some, E_FAIL for none.
HRESULT CheckCapabilities(DWORD available, DWORD* asked);

}  // namespace media_time_format
