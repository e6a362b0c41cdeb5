#include "sources/dvd/video_dvd_src_dev.h"

#include "res/string_table.h"

CVideoDVDSrcDev::CVideoDVDSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_VIDEO_DVD, GUID_VideoDVDSrcDev, 353);
}
