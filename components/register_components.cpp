#include "components/register_components.h"

#include "components/common/ffmpeg_support.h"
#include "components/convert/register_convert.h"
#include "components/decode/register_decode.h"
#include "components/demux/register_demux.h"
#include "components/dvd/dvd_source.h"
#include "components/encode/register_encode.h"
#include "components/info/register_info.h"
#include "components/write/register_write.h"

void RegisterComponents()
{
    QuietFfmpegLogging();
    // The groups that fill the filter mapper keep this order: among equal
    // merits, intelligent connect tries filters in registration order.
    RegisterDemuxComponents();
    RegisterDvdSource();
    RegisterDecodeComponents();
    RegisterConvertComponents();
    RegisterEncodeComponents();
    RegisterWriteComponents();
    RegisterInfoComponents();
}
