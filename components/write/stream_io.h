// An AVIOContext over an IStream, so FFmpeg's muxers write, seek and read
// back through a writer's input pin.
//
// Several contexts may share one stream (a muxer reopens its output to read
// it back); the stream has one seek pointer, so each context keeps its own
// position and seeks the stream before every read or write.
#pragma once

#include <memory>

extern "C" {
#include <libavformat/avio.h>
}

#include "platform/dshow/pin_interfaces.h"

struct StreamIoDeleter {
    void operator()(AVIOContext* io) const;
};
using StreamIoPtr = std::unique_ptr<AVIOContext, StreamIoDeleter>;

// A seekable context on `stream` (it takes a reference); empty when out of
// memory. `writable` chooses between writing and reading.
StreamIoPtr OpenStreamIo(IStream* stream, bool writable);

// The code of the last stream call that failed, or S_OK: FFmpeg sees only
// AVERROR(EIO), the run should report the stream's own reason.
HRESULT StreamIoFailure(const AVIOContext* io);
