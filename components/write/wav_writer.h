// CWavWriter: the WAV writer, CLSID_WavWriter.
//
// A renderer with one input pin, "In", that takes 8- or 16-bit integer PCM
// (components/common/media_format.h) — what every player and CD burner reads;
// intelligent connect puts the audio format converter in front of a
// decoder's float output — and writes it as a WAV file (components/write/wav_header.h for the layout; RF64 past
// 4 GiB). IFileSinkFilter names the file (CFileSink).
//
// The file is created when the filter pauses from stopped; a provisional
// header goes in with the first sample, the audio follows as it comes. At the end of the
// stream the final header goes in front and the data is synced to disk
// before the graph hears EC_COMPLETE. A failed write is never quiet: the
// graph hears EC_ERRORABORT with the system's code, and no EC_COMPLETE.
//
// Threads: samples and the end of stream arrive on the upstream streaming
// thread (streaming lock held by CBaseRenderer); pause and stop come from
// the application's thread.
#pragma once

#include <memory>
#include <optional>

#include "components/write/audio_file_writer.h"
#include "platform/dshow/output_file.h"

class CWavWriter final : public CAudioFileWriter {
public:
    CWavWriter();

    HRESULT CheckMediaType(const CMediaType* type) override;

    // Creates the file.
    HRESULT OnStartStreaming() override;
    HRESULT OnStopStreaming() override;
    // Writes the final header and syncs.
    HRESULT OnEndOfStream() override;

protected:
    HRESULT WriteAudio(const BYTE* data, LONG length) override;

private:
    // The header for the data so far, at the front.
    HRESULT WriteHeader();

    // Set at pause, used by the streaming thread until stop, which waits for
    // it (streaming lock) before it closes the file.
    std::unique_ptr<COutputFile> m_file;
    RawAudioFormat m_format;
    uint64_t m_headerSize = 0;
    uint64_t m_dataBytes = 0;
    bool m_headerWritten = false;
};
