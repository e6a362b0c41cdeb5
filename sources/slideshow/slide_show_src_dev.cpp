#include "sources/slideshow/slide_show_src_dev.h"

#include "res/string_table.h"

CSlideShowSrcDev::CSlideShowSrcDev(CKestrelDoc* document) : CSourceDevice(document)
{
    Describe(IDS_SLIDE_SHOW, GUID_SlideShowSrcDev, 387);
}
