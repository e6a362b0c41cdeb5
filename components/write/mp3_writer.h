// CMp3Writer: the LAME MP3 writer, CLSID_LameMp3Writer.
//
// A renderer with one input pin, "In", that takes raw audio
// (components/common/media_format.h), encodes it with libmp3lame (through
// libavcodec) and writes an MP3 file through libavformat's mp3 muxer, which
// puts a Xing/LAME frame in front so players know the exact length (frame
// count, encoder delay and padding). IFileSinkFilter names the file.
//
// The program sets no bit rate, so the writer picks one: constant 96 kbit/s
// per channel (192 kbit/s stereo) at 32 kHz and above, 64 kbit/s per
// channel at 16 to 24 kHz, 32 kbit/s per channel below (MP3's lower rates
// allow no more). More than two channels are mixed down to stereo; a sample
// rate MP3 lacks is resampled to the nearest one it has.
//
// The file is created when the filter pauses from stopped, its header
// written with the first packets. At the end of the stream the encoder is drained, the trailer
// written (the Xing frame filled in) and the file synced before the graph
// hears EC_COMPLETE; any failure gives EC_ERRORABORT with its code instead.
//
// Threads: as every renderer (streaming thread with the streaming lock for
// samples and the end; application thread for pause and stop).
#pragma once

#include <memory>
#include <vector>

#include "components/encode/audio_frame_queue.h"
#include "components/write/audio_file_writer.h"
#include "components/write/muxed_file.h"

class CMp3Writer final : public CAudioFileWriter {
public:
    CMp3Writer();
    ~CMp3Writer() override;

    HRESULT OnStartStreaming() override;
    HRESULT OnStopStreaming() override;
    HRESULT OnEndOfStream() override;

protected:
    HRESULT WriteAudio(const BYTE* data, LONG length) override;

private:
    struct Output;
    HRESULT WritePackets(std::vector<AvPacketPtr>& packets);

    // Made at pause, used by the streaming thread, dropped at stop (after
    // the streaming lock is free).
    std::unique_ptr<Output> m_output;
};
