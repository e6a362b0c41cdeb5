// The interfaces and constants through which the program uses the codec
// components: everything outside components/ includes this header (with
// component_ids.h and register_components.h), never a component's own.
// Method order matters in every interface here: the program calls by slot.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "components/component_ids.h"
#include "platform/com/safe_array.h"
#include "platform/dshow/pin_interfaces.h"

// IModuleConfig: the parameter interface of the codec components. A
// configuration is: optionally SetDefState, then SetValue per parameter,
// then CommitChanges, which applies the values set since the last commit.
struct IPersistStream : IPersist {
    static constexpr IID iid = MakeGuid("{00000109-0000-0000-C000-000000000046}");
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;
    virtual HRESULT GetSizeMax(uint64_t* size) = 0;

protected:
    ~IPersistStream() = default;
};

// Method order matters: SetValue is slot 8, SetDefState 12, CommitChanges 14.
struct IModuleConfig : IPersistStream {
    static constexpr IID iid = MakeGuid("{486F726E-4D43-49B9-8A0C-C22A2B0524E8}");
    virtual HRESULT SetValue(const GUID* parameter, const VARIANT* value) = 0;
    virtual HRESULT GetValue(const GUID* parameter, VARIANT* value) = 0;
    virtual HRESULT GetParamConfig(const GUID* parameter, void** config) = 0;
    virtual HRESULT IsSupported(const GUID* parameter) = 0;
    virtual HRESULT SetDefState() = 0;
    virtual HRESULT EnumParams(long* count, GUID* parameters) = 0;
    // `reason` (optional) receives a text when the values were refused.
    virtual HRESULT CommitChanges(VARIANT* reason) = 0;
    virtual HRESULT DeclineChanges() = 0;
    virtual HRESULT SaveToRegistry(void* key, LPCOLESTR path, BOOL recursive) = 0;
    virtual HRESULT LoadFromRegistry(void* key, LPCOLESTR path, BOOL recursive) = 0;
    virtual HRESULT RegisterForNotifies(IUnknown* listener) = 0;
    virtual HRESULT UnregisterFromNotifies(IUnknown* listener) = 0;

protected:
    ~IModuleConfig() = default;
};

inline constexpr IID IID_IModuleConfig = IModuleConfig::iid;

// The Time Grabber's: how far the stream has come.
// Method order matters: GetMediaTime is the first slot after IUnknown's.
struct ITimeGrabber : IUnknown {
    static constexpr IID iid = IID_ITimeGrabber;
    // The start time (100 ns) of the latest sample that passed; 0 before any
    // in this run.
    virtual HRESULT GetMediaTime(LONGLONG* time) = 0;

protected:
    ~ITimeGrabber() = default;
};

// The video discard filter's: what its pin accepts.
// Method order matters: SetMediaTypes is the first slot after IUnknown's.
struct IVideoDiscard : IUnknown {
    static constexpr IID iid = IID_IVideoDiscard;
    // The major and sub type the pin accepts from now on; GUID_NULL for
    // either accepts any.
    virtual HRESULT SetMediaTypes(GUID major, GUID sub) = 0;

protected:
    ~IVideoDiscard() = default;
};

// The DVD source filter's: which sectors of the loaded title set to read.
// Method order matters: AddRange is the first slot after IUnknown's.
struct IDvdSourceRanges : IUnknown {
    static constexpr IID iid = IID_IDvdSourceRanges;
    // Appends the sectors startSector..endSector (inclusive, 2048 bytes
    // each, counted from the first sector of VTS_nn_1.VOB); E_INVALIDARG
    // when the end lies before the start, VFW_E_ALREADY_CONNECTED once the
    // output is connected.
    virtual HRESULT AddRange(uint32_t startSector, uint32_t endSector) = 0;

protected:
    ~IDvdSourceRanges() = default;
};

// A read of the DVD source met a scrambled (CSS) sector.
inline constexpr HRESULT VFW_E_COPYPROT_FAILED = MakeHResult(0x80040267);

// The media information object (CLSID_MediaInfo).
struct IMediaInfo : IUnknown {
    static constexpr IID iid = IID_IMediaInfo;

    // Slots 3 to 6 hold places the program never calls, so that Open is slot
    // 7; they answer E_NOTIMPL.
    virtual HRESULT Reserved3() = 0;
    virtual HRESULT Reserved4() = 0;
    virtual HRESULT Reserved5() = 0;
    virtual HRESULT Reserved6() = 0;

    // Opens the file at a full UTF-8 path; a missing file gives
    // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), one that is not media (empty,
    // garbage) VFW_E_INVALID_FILE_FORMAT. Opening again replaces the file.
    virtual HRESULT Open(BSTR path) = 0;
    // S_FALSE and 0 when the file does not say how long it is.
    virtual HRESULT GetDuration(double* seconds) = 0;
    // The coded frame size; VFW_E_NOT_FOUND (and 0 x 0) without video.
    virtual HRESULT GetVideoSize(short* width, short* height) = 0;
    // The frame at `positionSeconds` (the last one when past the end) scaled
    // to width x height, as a packed DIB in a new VT_UI1 array that the
    // caller destroys: a BITMAPINFOHEADER (40 bytes, 24 bits, BI_RGB,
    // positive height: bottom-up rows) and then the rows, each padded to a
    // multiple of 4 bytes. E_INVALIDARG for a size outside 1..4096;
    // VFW_E_NOT_FOUND without video.
    virtual HRESULT GetFrame(double positionSeconds, LONG width, LONG height, SAFEARRAY** dib) = 0;
    // A cover picture stored in an audio file does not count as video.
    virtual HRESULT GetStreams(VARIANT_BOOL* hasVideo, VARIANT_BOOL* hasAudio) = 0;
    // The first audio stream's rate, channels and sample depth: that of the
    // samples for PCM and lossless codecs, and 16 for lossy codecs, which
    // store no depth of their own (16 bits is what they are played at).
    // VFW_E_NOT_FOUND without audio.
    virtual HRESULT GetAudioFormat(LONG* sampleRate, short* channels, short* bitsPerSample) = 0;
    // VFW_E_NOT_FOUND without video; S_FALSE and 0 when the rate is unknown.
    virtual HRESULT GetFrameRate(double* framesPerSecond) = 0;

protected:
    ~IMediaInfo() = default;
};

// Windows Media profiles: what the WM ASF writer is told to make. A profile
// comes from the XML that Windows Media profiles are written in, loaded
// through the profile manager:
//   ComPtr<IWMProfileManager> manager;  WMCreateProfileManager(&manager);
//   ComPtr<IWMProfile> profile;         manager->LoadProfileByData(xml, &profile);
// and handed to the writer (IConfigAsfWriter::ConfigureFilterUsingProfile).
struct WmVideoStream {
    int width = 0, height = 0;
    REFERENCE_TIME timePerFrame = 0;
    // Quality-based VBR (0 to 100) when set, constant bit rate otherwise.
    std::optional<int> vbrQuality;
    int bitRate = 0;                   // bits per second, without vbrQuality
    REFERENCE_TIME maxKeyFrameSpacing = 0;  // 0: the encoder's choice
};

struct WmAudioStream {
    int sampleRate = 0;
    int channels = 0;
    int bitRate = 0;  // bits per second
};

struct WmProfileSettings {
    std::string name;
    std::optional<WmVideoStream> video;
    std::optional<WmAudioStream> audio;
};

// IWMProfile: a loaded profile (IID of the Windows Media Format SDK's).
struct IWMProfile : IUnknown {
    static constexpr IID iid = MakeGuid("{96406BDB-2B2B-11D3-B36B-00C04F6108FF}");
    virtual HRESULT GetStreamCount(DWORD* count) = 0;
    // A copy of what the profile asks for.
    virtual HRESULT GetSettings(WmProfileSettings* settings) = 0;

protected:
    ~IWMProfile() = default;
};

// IWMProfileManager: makes profiles (IID of the Windows Media Format SDK's).
struct IWMProfileManager : IUnknown {
    static constexpr IID iid = MakeGuid("{D16679F2-6CA0-472D-8D31-2F5D55AEE155}");
    // Reads profile XML (UTF-8). E_POINTER for null arguments; E_INVALIDARG
    // for text that is no profile XML or lacks a value the writer needs;
    // VFW_E_TYPE_NOT_ACCEPTED for a stream the writer cannot make (another
    // codec, a size of zero or beyond 4096, an unusable rate or channel
    // count) or a profile without streams.
    virtual HRESULT LoadProfileByData(const char* profileXml, IWMProfile** profile) = 0;

protected:
    ~IWMProfileManager() = default;
};

HRESULT WMCreateProfileManager(IWMProfileManager** manager);

// IConfigAsfWriter, in the slot order of the Windows interface. Only
// ConfigureFilterUsingProfile and GetCurrentProfile do anything here; the
// system profile ids and GUIDs and the index mode give E_NOTIMPL.
struct IConfigAsfWriter : IUnknown {
    static constexpr IID iid = IID_IConfigAsfWriter;
    virtual HRESULT ConfigureFilterUsingProfileId(DWORD profileId) = 0;
    virtual HRESULT GetCurrentProfileId(DWORD* profileId) = 0;
    virtual HRESULT ConfigureFilterUsingProfileGuid(REFGUID profile) = 0;
    virtual HRESULT GetCurrentProfileGuid(GUID* profile) = 0;
    // Takes the profile's settings (it keeps a reference for
    // GetCurrentProfile). VFW_E_NOT_STOPPED unless stopped.
    virtual HRESULT ConfigureFilterUsingProfile(IWMProfile* profile) = 0;
    // E_FAIL (and null) before a profile was configured.
    virtual HRESULT GetCurrentProfile(IWMProfile** profile) = 0;
    virtual HRESULT SetIndexMode(BOOL indexFile) = 0;
    virtual HRESULT GetIndexMode(BOOL* indexFile) = 0;

protected:
    ~IConfigAsfWriter() = default;
};

// The AAC encoder's bit rates, in kbit/s, in the order the program indexes them.
inline constexpr std::array<int, 27> kAacBitRates = {6,  7,  8,   10,  12,  14,  16,  20,  24,
                                                     28, 32, 40,  48,  56,  64,  80,  96,  112,
                                                     128, 160, 192, 224, 256, 320, 384, 448, 512};

// A multiplexer's inputs drifted so far apart that the packets waiting for
// the file's header passed their bound: one stream never started.
inline constexpr HRESULT MUX_E_PENDING_OVERFLOW = MakeHResult(0x8004FE02);
