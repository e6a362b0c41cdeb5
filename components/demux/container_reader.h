// ContainerReader: libavformat reading a container through an upstream
// pin's IAsyncReader, and the streams of it that the demultiplexer offers.
//
// Open probes the stream on the caller's thread (the application's, while a
// connection is made); afterwards one streaming thread at a time seeks and
// reads. Interrupt may be called from any thread: it makes a blocking call
// return, so a stop never waits for a slow read.
//
// Times are media times (100 ns) counted from the container's start time,
// so the first frame of a file is at (about) 0 whatever the container says.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/common/ffmpeg_support.h"
#include "components/demux/async_reader_io.h"
#include "platform/dshow/media_type.h"

// One stream the demultiplexer can describe to a decoder.
struct ContainerStream {
    enum class Kind { Video, Audio, Subpicture };
    int index;  // AVStream index
    Kind kind;
    std::string pinName;  // "Video", "Audio 2", "Subpicture (ID 189/33 @ Prog# 0)"...
    CMediaType type;
};

class ContainerReader {
public:
    // Whether a container (libavformat's demuxer name, "mov,mp4,m4a,3gp,3g2,mj2")
    // is one the caller takes.
    using ContainerFilter = std::function<bool(const std::string& demuxerName)>;

    // Probes the stream. Fails with VFW_E_INVALID_FILE_FORMAT when the bytes
    // are no container, or one the filter refuses, or one with no stream to
    // offer; with the reader's own failure when reading failed.
    static HRESULT Open(IAsyncReader* reader, const ContainerFilter& accepts, std::unique_ptr<ContainerReader>* opened);
    ~ContainerReader();

    // Video first, then audio, then DVD subpictures, each in stream order.
    const std::vector<ContainerStream>& Streams() const { return m_streams; }
    REFERENCE_TIME Duration() const { return m_duration; }
    IAsyncReader* Reader() const { return m_io->Reader(); }

    // Streaming thread. Only the chosen streams are read.
    void SelectStreams(const std::vector<int>& indices);
    // Positions reading at the key frame before `position` less a second
    // (or the first key frame), which also gives containers without an
    // index a key frame in time when their pictures have one a second.
    HRESULT Seek(REFERENCE_TIME position);
    // S_OK with a packet, S_FALSE at the end, a failure (the reader's own
    // code when reading failed; VFW_E_INVALID_FILE_FORMAT when the stream
    // ends inside a packet, as a truncated file does).
    HRESULT ReadPacket(AVPacket* packet);
    // A packet's presentation and decoding times as media times.
    std::optional<REFERENCE_TIME> PresentationTime(const AVPacket& packet) const;
    std::optional<REFERENCE_TIME> DecodingTime(const AVPacket& packet) const;
    std::optional<REFERENCE_TIME> PacketDuration(const AVPacket& packet) const;

    // Any thread: makes blocking calls fail until cleared.
    void Interrupt(bool interrupted) { m_interrupted = interrupted; }

private:
    ContainerReader() = default;
    HRESULT Probe(IAsyncReader* reader, const ContainerFilter& accepts);
    void DescribeStreams();
    std::optional<REFERENCE_TIME> StreamTime(const AVPacket& packet, int64_t value) const;
    static int InterruptCallback(void* opaque);

    std::unique_ptr<AsyncReaderIo> m_io;  // outlives m_context
    AvInputPtr m_context;
    std::vector<ContainerStream> m_streams;
    REFERENCE_TIME m_duration = 0;
    REFERENCE_TIME m_startTime = 0;  // the container's start, as media time
    std::atomic<bool> m_interrupted{false};
};
