#include "sources/youtube/youtube_src_dev.h"

#include "res/string_table.h"

CYouTubeSrcDev::CYouTubeSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_YOUTUBE, GUID_YouTubeSrcDev, 356);
}
