#include "components/decode/register_decode.h"

#include "components/decode/audio_decoder.h"
#include "components/decode/video_decoder.h"

void RegisterDecodeComponents()
{
    // Video first: the mapper keeps registration order among equal merits.
    RegisterVideoDecoders();
    RegisterAudioDecoders();
}
