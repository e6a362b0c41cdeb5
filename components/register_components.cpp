#include "components/register_components.h"

#include "components/ffmpeg_support.h"

void RegisterComponents()
{
    QuietFfmpegLogging();
}
