// CAsfWriter: the WM ASF writer, CLSID_WMAsfWriter.
//
// Writes a Windows Media file (ASF with WMV2 video and WMA v2 audio) as a
// Windows Media profile describes it (components/write/wm_profile.h), set through
// IConfigAsfWriter::ConfigureFilterUsingProfile; IFileSinkFilter names the
// file. Two input pins, in this order: "Video Input 01" takes raw video
// (any layout libswscale reads; I420 is what the decoders give) and
// "Audio Input 01" raw audio (components/common/media_format.h). A pin accepts a
// connection only once a profile with its kind of stream is configured.
// Either input may stay unconnected. How the streams are encoded:
// components/write/asf_stream_encoders.h.
//
// Lifecycle: pausing from stopped opens the encoders of the connected inputs
// and creates the file. The file's header names its streams, so it is
// written once every connected input has delivered its first sample or
// ended; an input that ended without a sample gets no stream (a run where
// none delivered anything fails with E_FAIL). Packets that come earlier
// wait in memory, within the bounds of components/write/pending_packets.h
// (past them the run fails with MUX_E_PENDING_OVERFLOW). When every
// connected input has ended, the encoders are drained, the index and
// trailer written and the file synced; then, once running, the graph hears
// EC_COMPLETE. Any failure (encoding, a full disk) gives one EC_ERRORABORT
// with its code, and both inputs refuse the rest.
//
// Threads: configuration, connection and state changes come from the
// application's thread under the filter lock. Each input's samples come on
// its own upstream streaming thread and are encoded under that input's
// lock, so video and audio encode in parallel; the file is shared under
// m_muxLock, taken inside an input's lock. Stop waits for both inputs'
// locks before it closes the file.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "components/component_ids.h"
#include "components/component_interfaces.h"
#include "components/write/asf_stream_encoders.h"
#include "components/write/muxed_file.h"
#include "components/write/pending_packets.h"
#include "components/write/wm_profile.h"
#include "platform/dshow/file_sink.h"
#include "platform/dshow/input_pin.h"


class CAsfWriter;

enum class AsfInput { Video = 0, Audio = 1 };

class CAsfInputPin final : public CBaseInputPin {
public:
    CAsfInputPin(CAsfWriter* writer, AsfInput kind, const char* name);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;

private:
    CAsfWriter* const m_writer;
    const AsfInput m_kind;
};

class CAsfWriter final : public CBaseFilter, public CFileSink, public IConfigAsfWriter {
public:
    CAsfWriter();
    ~CAsfWriter() override;
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int index) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;

    // IConfigAsfWriter
    HRESULT ConfigureFilterUsingProfileId(DWORD) override { return E_NOTIMPL; }
    HRESULT GetCurrentProfileId(DWORD*) override { return E_NOTIMPL; }
    HRESULT ConfigureFilterUsingProfileGuid(REFGUID) override { return E_NOTIMPL; }
    HRESULT GetCurrentProfileGuid(GUID*) override { return E_NOTIMPL; }
    HRESULT ConfigureFilterUsingProfile(IWMProfile* profile) override;
    HRESULT GetCurrentProfile(IWMProfile** profile) override;
    HRESULT SetIndexMode(BOOL) override { return E_NOTIMPL; }
    HRESULT GetIndexMode(BOOL*) override { return E_NOTIMPL; }

private:
    friend class CAsfInputPin;

    // One input's streaming state.
    struct Input {
        explicit Input(CAsfInputPin* inputPin) : pin(inputPin) {}
        CAsfInputPin* const pin;
        // Guards the encoder; held while a sample is encoded.
        StreamingMutex streamLock;
        std::unique_ptr<CAsfStreamEncoder> encoder;
        CMediaType startedType;  // the input's type when the encoder opened
        // The rest is guarded by m_muxLock.
        AvCodecParametersPtr parameters;  // the encoder's, taken when it opened
        AVRational timeBase{0, 1};
        bool connected = false, started = false, ended = false;
        int stream = -1;
    };

    // Filter lock held (connection).
    HRESULT CheckInputType(AsfInput kind, const CMediaType* type);
    // Streaming threads.
    HRESULT Receive(AsfInput kind, IMediaSample* sample);
    HRESULT EndOfStream(AsfInput kind);

    // Filter lock held (pause from stopped, stop).
    HRESULT StartWriting();
    HRESULT OpenEncoder(Input& input);
    void StopWriting();

    // Input's stream lock held. Hands its packets to the file (or keeps them
    // until the header is written); `ended` marks its end, and the file is
    // finished once every connected input has ended. Takes m_muxLock.
    HRESULT Deliver(AsfInput kind, std::vector<AvPacketPtr>& packets, bool ended);
    // Records the first failure and tells the graph of it; later ones stay
    // quiet. Returns `hr`.
    HRESULT Fail(Input& input, HRESULT hr);
    // m_muxLock held.
    // Keeps `kind`'s packets until the header is due, then writes it and
    // every packet kept.
    HRESULT Hold(AsfInput kind, std::vector<AvPacketPtr>& packets);
    bool HeaderDue() const;
    HRESULT WriteHeader();
    HRESULT WritePackets(Input& input, std::vector<AvPacketPtr>& packets);
    // Sends EC_COMPLETE when the file is finished and the filter runs.
    void CompleteIfDue();

    Input& InputOf(AsfInput kind) { return *m_inputs[static_cast<int>(kind)]; }

    CAsfInputPin m_videoPin;
    CAsfInputPin m_audioPin;
    std::array<std::unique_ptr<Input>, 2> m_inputs;

    ComPtr<IWMProfile> m_profile;  // guarded by the filter lock
    WmProfileSettings m_settings;  // guarded by the filter lock

    StreamingMutex m_muxLock;
    std::unique_ptr<CMuxedFile> m_file;
    CPendingPackets m_pending;  // until the header is written
    HRESULT m_failure = S_OK;
    bool m_finished = false;
    bool m_completeSent = false;
};
