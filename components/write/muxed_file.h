// CMuxedFile: a container file that libavformat writes into an output file.
//
// The muxer writes through an AVIOContext of our own over COutputFile, so it
// can seek back to finish its headers (an MP3's Xing/LAME frame, an ASF
// header's sizes) and a failed write keeps the system's code: every failure
// is that code when a write failed, HResultFromAv of FFmpeg's otherwise.
//
// Use: Create, AddStream per stream, WriteHeader, WritePacket..., Finish
// (trailer, then synced to disk and closed). Dropping the object without
// Finish leaves what was written so far. No locking: the owner serialises calls.
#pragma once

#include <memory>
#include <string>

#include "components/common/ffmpeg_support.h"
#include "platform/dshow/output_file.h"

class CMuxedFile {
public:
    CMuxedFile();
    ~CMuxedFile();
    CMuxedFile(const CMuxedFile&) = delete;
    CMuxedFile& operator=(const CMuxedFile&) = delete;

    // Creates (truncates) `path` for libavformat's muxer `formatName`.
    HRESULT Create(const std::string& path, const char* formatName);
    // A stream with an opened encoder's parameters and time base; `index`
    // is the stream's.
    HRESULT AddStream(const AVCodecParameters& parameters, AVRational timeBase, int* index);
    HRESULT AddStream(const AVCodecContext& encoder, int* index);
    HRESULT WriteHeader();
    bool HeaderWritten() const { return m_headerWritten; }
    // Writes (interleaved) a packet whose times are in `timeBase`; takes its data.
    HRESULT WritePacket(AVPacket* packet, int stream, AVRational timeBase);
    // Writes the trailer, syncs and closes the file.
    HRESULT Finish();

private:
    static int WriteCallback(void* opaque, uint8_t* data, int size);
    static int64_t SeekCallback(void* opaque, int64_t offset, int whence);
    // The failure of an FFmpeg call: the write error behind it, if any.
    HRESULT Failure(int error) const;

    std::unique_ptr<COutputFile> m_file;
    AvOutputPtr m_context;
    struct IoDeleter {
        void operator()(AVIOContext* io) const;
    };
    std::unique_ptr<AVIOContext, IoDeleter> m_io;
    uint64_t m_position = 0;
    HRESULT m_writeError = S_OK;
    bool m_headerWritten = false;
};
