// Windows Media profiles: what the WM ASF writer is told to make.
//
// A profile comes from the XML that Windows Media profiles are written in
// (a "profile" element with one "streamconfig" per stream), loaded through
// the profile manager:
//   ComPtr<IWMProfileManager> manager;  WMCreateProfileManager(&manager);
//   ComPtr<IWMProfile> profile;         manager->LoadProfileByData(xml, &profile);
// and handed to the writer (IConfigAsfWriter::ConfigureFilterUsingProfile,
// components/asf_writer.h). A profile never changes after it is loaded.
//
// What is read: an audio stream (majortype MEDIATYPE_Audio, subtype
// Windows Media Audio 2: its waveformatex's nChannels and nSamplesPerSec,
// the streamconfig's bitrate) and a video stream (majortype MEDIATYPE_Video,
// subtype WMV2: the bitmapinfoheader's biwidth and biheight, the
// videoinfoheader's avgtimeperframe, quality-based VBR from vbrenabled and
// vbrquality or else the streamconfig's bitrate, the key frame distance
// from videomediaprops' maxkeyframespacing, all times in 100 ns units).
// Everything else in the XML is accepted and ignored.
#pragma once

#include <optional>
#include <string>

#include "platform/dshow/dshow_types.h"

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

// The settings of profile XML, as LoadProfileByData reads them.
HRESULT ParseWmProfile(const char* profileXml, WmProfileSettings* settings);
