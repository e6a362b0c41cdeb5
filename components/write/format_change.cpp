#include "components/write/format_change.h"

HRESULT CheckNoFormatChange(IMediaSample* sample, const CMediaType& started)
{
    AM_MEDIA_TYPE* announced = nullptr;
    if (sample->GetMediaType(&announced) != S_OK || !announced) return S_OK;
    const bool same = CMediaType(*announced) == started;
    DeleteMediaType(announced);
    return same ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}
