// Writers keep the format their input had when the file was begun.
#pragma once

#include "platform/dshow/media_type.h"
#include "platform/dshow/pin_interfaces.h"

// VFW_E_TYPE_NOT_ACCEPTED when `sample` announces a type other than
// `started`: a file already begun cannot change its format midway.
HRESULT CheckNoFormatChange(IMediaSample* sample, const CMediaType& started);
