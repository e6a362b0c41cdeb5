#include "sources/youtube/youtube_src_dev.h"

#include "res/string_table.h"
#include "ui/device_page.h"

CYouTubeSrcDev::CYouTubeSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_YOUTUBE, GUID_YouTubeSrcDev, 356);
    SetPage(new CDevicePage(this, document));
}
