// The MPEG-1/2 video decoder (CLSID_Mpeg2Decoder): CVideoDecoder with a
// second input, "SubPicture In" (MEDIASUBTYPE_DVD_SUBPICTURE, from the
// demultiplexer's subpicture pins), whose subpictures are blended into the
// I420 pictures that pass while they show (components/decode/subpicture_overlay.h).
// Pins in order: "In", "SubPicture In", "Out".
//
// A program stream carries a subpicture up to about half a second after the
// video of its time, and a conversion runs without a clock, so while
// "SubPicture In" is connected the pictures are held back one second before
// they go out; end of stream delivers the rest. Unconnected, the pictures
// pass at once and unchanged.
//
// Threads: subpictures arrive on the subpicture stream's thread; pictures
// are held and delivered on the video streaming thread (streaming lock).
#pragma once

#include <vector>

#include "components/decode/video_decoder.h"

// `codecs`: the codecs of its registration.
HRESULT CreateMpeg2Decoder(const std::vector<AVCodecID>& codecs, REFIID riid, void** object);
