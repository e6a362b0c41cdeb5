#include "sources/cd/audio_cd_src_dev.h"

#include "res/string_table.h"

CAudioCDSrcDev::CAudioCDSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_AUDIO_CD, GUID_AudioCDSrcDev, 352);
}
