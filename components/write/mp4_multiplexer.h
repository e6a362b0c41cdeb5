// CMp4Multiplexer (CLSID_Mp4Multiplexer): encoded video and audio in on
// "Input 0" and "Input 1", an MP4 file out on "Output", which connects to
// the File Writer's "in" and writes through that pin's IStream (the pin
// must offer it). Everything goes through FFmpeg's mp4 muxer, with the
// index moved to the front once the media is written (faststart), which
// reads back what was written.
//
// Each input takes a compressed type of media_format.h whose codec MP4 can
// carry, with packet times as components/common/packet_sample.h says. The type may
// change with the first sample (an encoder whose parameters changed after
// connecting).
//
// A file holds the streams whose inputs received a sample: the header is
// written once every connected input has its first sample or its end of
// stream (earlier samples wait in memory, within the bounds of
// components/write/pending_packets.h), and an input that ends without a
// sample is left out, so an audio-only or a silent-video run gives a
// one-stream file. Once every connected input has ended, the index is
// written and end of stream goes downstream, so the writer's EC_COMPLETE
// comes after the file is whole. Nothing received at all fails the run.
//
// IModuleConfig: MuxFirst and MuxSecond are taken and kept (the program
// sends 2 and 3, or 0 for M4A); the file is the same for every value.
//
// Failures end the run with EC_ERRORABORT: a failed write is reported by the
// File Writer with its system code, anything else by this filter (one input
// delivering past the pending bound while another has not started gives
// MUX_E_PENDING_OVERFLOW); either way the inputs refuse further samples, so
// no upstream thread waits.
//
// Threads: the inputs' samples arrive on their own streaming threads; one
// lock (m_muxLock) serialises the muxer, and is held while the muxer writes
// to the File Writer's IStream (the writer's own lock is a leaf). State
// changes and connections run on the application's thread.
#pragma once

#include <memory>
#include <mutex>

#include "components/common/ffmpeg_support.h"
#include "components/common/module_config.h"
#include "components/write/pending_packets.h"
#include "platform/dshow/input_pin.h"
#include "platform/dshow/output_pin.h"

class CMp4Multiplexer;
struct Mp4Output;

class CMuxInputPin final : public CBaseInputPin {
public:
    CMuxInputPin(CMp4Multiplexer* mux, int index, const char* name);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;

private:
    CMp4Multiplexer* const m_mux;
    const int m_index;
};

class CMuxOutputPin final : public CBaseOutputPin {
public:
    explicit CMuxOutputPin(CMp4Multiplexer* mux);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // The peer's IStream; set while connected (application's thread).
    ComPtr<IStream> Stream() const { return m_stream; }

private:
    ComPtr<IStream> m_stream;
};

class CMp4Multiplexer final : public CBaseFilter {
public:
    static constexpr int kInputCount = 2;

    CMp4Multiplexer();
    ~CMp4Multiplexer() override;

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;
    int GetPinCount() override { return kInputCount + 1; }
    CBasePin* GetPin(int index) override;
    // From stopped: prepares a new file on the output's stream.
    HRESULT Pause() override;
    HRESULT Stop() override;

private:
    friend class CMuxInputPin;

    struct Input {
        AvCodecParametersPtr parameters;
        AVRational timeBase{1, 1};
        bool active = false;  // connected when the run started
        bool received = false;
        bool ended = false;
        int stream = -1;  // in the file, once the header is written
    };

    // Streaming threads (SetInputType also the application's); each takes
    // m_muxLock. The pin settles what they return once the lock is released.
    HRESULT SetInputType(int index, const CMediaType& type);
    StreamResult ReceivePacket(int index, IMediaSample* sample);
    StreamResult EndOfInput(int index);

    // Called with m_muxLock held.
    StreamResult WriteHeaderWhenReady();
    StreamResult WritePacket(int input, AvPacketPtr packet);
    // Ends the run with `hr`, or with the writer's code if a write failed
    // (which the writer has reported).
    StreamResult Fail(HRESULT hr);
    bool AllEnded() const;

    CModuleConfig m_config;
    CMuxInputPin m_input0, m_input1;
    CMuxOutputPin m_output;

    StreamingMutex m_muxLock;
    Input m_inputs[kInputCount];
    std::unique_ptr<Mp4Output> m_file;  // between pause and stop
    CPendingPackets m_pending;  // until the header is written
    bool m_headerWritten = false;
    bool m_finished = false;
    HRESULT m_failure = S_OK;
};

void RegisterMp4Multiplexer();
