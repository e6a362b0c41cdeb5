#include "sources/cd/audio_cd_src_dev.h"

#include "res/string_table.h"
#include "ui/device_page.h"

CAudioCDSrcDev::CAudioCDSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_AUDIO_CD, GUID_AudioCDSrcDev, 352);
    SetPage(new CDevicePage(this, document));
}
