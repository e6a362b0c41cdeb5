#include "components/encode/register_encode.h"

#include "components/encode/audio_encoder.h"
#include "components/encode/video_encoder.h"

void RegisterEncodeComponents()
{
    RegisterVideoEncoders();
    RegisterAacEncoder();
}
