// CDemultiplexer: splits a container read through an upstream IAsyncReader
// into its video, audio and DVD subpicture streams, with libavformat.
//
// Registered twice, as CLSID_Demultiplexer and CLSID_SecondDemultiplexer;
// they differ only in the containers they take:
// - the first: MP4/MOV/3GP/M4V/F4V/M4A, FLV, AVI, ASF/WMV/WMA, MPEG transport
//   streams, WAV, MP3/MP2 (.mpa), AAC (ADTS), AC-3, AMR, Matroska, Ogg, and
//   raw MPEG-4 / H.264 / MPEG video elementary streams; it refuses MPEG
//   program streams, so DVD titles and .mpg/.vob files reach the second;
// - the second: everything the first takes, plus MPEG program streams
//   (.mpg, .mpeg, .vob, DVD titles).
// Anything else (garbage, an empty stream, a container without a stream to
// offer) fails the connection of the input pin.
//
// Pins: "Input" (first; MEDIATYPE_Stream, pulls through the peer's
// IAsyncReader); after it connects, one output pin per stream it can
// describe: "Video" ("Video 2"...), then "Audio", "Audio 2"... in stream
// order, then "Subpicture (ID 189/%d @ Prog# 0)" with 32 + the subpicture
// stream number. Output types are media_format's compressed types (DVD
// subpictures: MEDIATYPE_Video / MEDIASUBTYPE_DVD_SUBPICTURE, no format).
// Disconnecting the input takes the output pins away (disconnecting them).
//
// Streaming: one thread, started when the filter pauses, reads packets and
// hands each to its stream's pin; pins that are not connected get nothing.
// Video and audio pins deliver through queues of their own; subpicture pins
// deliver on the reading thread, so a subpicture reaches its decoder before
// any video packet that follows it in the container.
// Each connected pin gets NewSegment(start, stop) first and end of stream at
// the end of the container or at the stop position. A read error ends the
// run with EC_ERRORABORT and the failure code. Sample times stay media times
// of the container (trimming does not shift them).
//
// Seeking (IMediaSeeking on every output pin): SetPositions moves the whole
// filter; while paused or running the thread restarts from the new start
// (flushing downstream). Reading starts at the key frame before the start;
// the packets before it are marked preroll.
//
// IModuleConfig takes the six parameters the DVD source sends
// (component_params::DvdDemux1..6, integers): each is accepted and stored,
// and none changes how a program stream is read — libavformat finds the
// streams, sizes and subpictures of a DVD title by itself.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "components/common/module_config.h"
#include "components/demux/container_reader.h"
#include "components/demux/demux_output_pin.h"
#include "platform/dshow/base_pin.h"

class CDemultiplexer;

// The input pin: pulls bytes, receives nothing pushed.
class CDemuxInputPin final : public CBasePin {
public:
    explicit CDemuxInputPin(CDemultiplexer* filter);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;

    HRESULT EndOfStream() override { return E_UNEXPECTED; }
    HRESULT BeginFlush() override { return E_UNEXPECTED; }
    HRESULT EndFlush() override { return E_UNEXPECTED; }

private:
    CDemultiplexer* const m_demultiplexer;
    ComPtr<IAsyncReader> m_reader;  // while connecting and connected
};

class CDemultiplexer final : public CBaseFilter {
public:
    enum class Choice { First, Second };

    explicit CDemultiplexer(Choice choice);
    ~CDemultiplexer() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    int GetPinCount() override;
    CBasePin* GetPin(int index) override;
    HRESULT Stop() override;
    HRESULT Pause() override;

    // Input pin, application thread, filter lock held: probes the stream
    // and makes the output pins; a failure refuses the connection.
    HRESULT OpenStream(IAsyncReader* reader);
    void CloseStream();

    // Output pins' seeking, application thread, no lock held.
    HRESULT Reposition(REFERENCE_TIME start, REFERENCE_TIME stop);

private:
    // Filter lock held. A stop interrupts reading, frees the thread
    // (pins inactive, or downstream flushed), then finishes: joins it.
    void StartStreaming();
    void InterruptStreaming();
    void FinishStreaming();
    // The streaming thread.
    void Stream(REFERENCE_TIME start, REFERENCE_TIME stop);
    HRESULT Seek(REFERENCE_TIME start);

    const Choice m_choice;
    CDemuxInputPin m_input;
    CModuleConfig m_config;
    std::unique_ptr<ContainerReader> m_container;
    std::vector<std::unique_ptr<CDemuxOutputPin>> m_outputs;
    // Pins of an earlier connection: someone may still hold a reference to
    // them (a pin counts on its filter's references), so they live on
    // with the filter.
    std::vector<std::unique_ptr<CDemuxOutputPin>> m_retired;

    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    // The container is still where probing left it; streaming thread, or
    // the filter lock while no thread runs.
    bool m_readFromStart = true;

    // Filter lock held.
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_stop = INT64_MAX;
};

// Registers both class ids, for CoCreateInstance and for intelligent
// connect of MEDIATYPE_Stream pins: the first at MERIT_NORMAL, the second
// at MERIT_NORMAL - 1.
void RegisterDemultiplexers();
