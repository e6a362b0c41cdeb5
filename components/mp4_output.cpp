#include "components/mp4_output.h"

#include "components/audio_encoder.h"
#include "components/mp4_multiplexer.h"
#include "components/video_encoder.h"

void RegisterMp4Output()
{
    RegisterVideoEncoders();
    RegisterAacEncoder();
    RegisterMp4Multiplexer();
}
