// Runs one frame through an encoder and collects what comes out.
#pragma once

#include <vector>

#include "components/common/ffmpeg_support.h"

// Sends `frame` (nullptr: the end, which drains the encoder) and appends
// every packet the encoder has ready to `packets`, in its time base.
HRESULT EncodeFrame(AVCodecContext* encoder, const AVFrame* frame, std::vector<AvPacketPtr>* packets);
