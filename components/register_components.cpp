#include "components/register_components.h"

#include "components/audio_decoder.h"
#include "components/audio_format_converter.h"
#include "components/colour_space_converter.h"
#include "components/converter_registration.h"
#include "components/demultiplexer.h"
#include "components/ffmpeg_support.h"
#include "components/media_info.h"
#include "components/mp4_output.h"
#include "components/network_source.h"
#include "components/video_decoder.h"
#include "components/writers.h"

void RegisterComponents()
{
    QuietFfmpegLogging();
    RegisterConverters();
    RegisterMp4Output();
    RegisterNetworkSource();
    RegisterMediaInfo();
    RegisterDemultiplexers();
    RegisterVideoDecoders();
    RegisterAudioDecoders();
    RegisterColourSpaceConverter();
    RegisterAudioFormatConverter();
    RegisterWriters();
}
