#include "components/write/wm_profile.h"

#include <tinyxml2.h>

#include <new>

#include "platform/dshow/media_guids.h"

namespace {

constexpr int kMaxFrameSide = 4096;
constexpr int kMaxAudioRate = 48000;  // what FFmpeg's WMA encoder takes

using tinyxml2::XMLElement;

// Attribute readers: E_INVALIDARG when the attribute is missing or not a number.
HRESULT ReadInt(const XMLElement* element, const char* name, int* value)
{
    if (!element || element->QueryIntAttribute(name, value) != tinyxml2::XML_SUCCESS) return E_INVALIDARG;
    return S_OK;
}

HRESULT ReadInt64(const XMLElement* element, const char* name, int64_t* value)
{
    if (!element || element->QueryInt64Attribute(name, value) != tinyxml2::XML_SUCCESS) return E_INVALIDARG;
    return S_OK;
}

HRESULT ReadGuid(const XMLElement* element, const char* name, GUID* value)
{
    const char* text = element ? element->Attribute(name) : nullptr;
    const auto guid = text ? ParseGuid(text) : std::nullopt;
    if (!guid) return E_INVALIDARG;
    *value = *guid;
    return S_OK;
}

// The stream's media type must be `subtype`.
HRESULT CheckSubtype(const XMLElement* mediaType, const GUID& subtype)
{
    GUID actual;
    const HRESULT hr = ReadGuid(mediaType, "subtype", &actual);
    if (FAILED(hr)) return hr;
    return actual == subtype ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT ReadAudioStream(const XMLElement* config, WmAudioStream* audio)
{
    const XMLElement* mediaType = config->FirstChildElement("wmmediatype");
    HRESULT hr = CheckSubtype(mediaType, MEDIASUBTYPE_WMAUDIO2);
    if (FAILED(hr)) return hr;
    const XMLElement* wave = mediaType->FirstChildElement("waveformatex");
    int formatTag = 0;
    if (FAILED(hr = ReadInt(wave, "wFormatTag", &formatTag))) return hr;
    if (FAILED(hr = ReadInt(wave, "nChannels", &audio->channels))) return hr;
    if (FAILED(hr = ReadInt(wave, "nSamplesPerSec", &audio->sampleRate))) return hr;
    if (FAILED(hr = ReadInt(config, "bitrate", &audio->bitRate))) return hr;
    if (formatTag != static_cast<int>(MEDIASUBTYPE_WMAUDIO2.Data1)) return VFW_E_TYPE_NOT_ACCEPTED;
    if (audio->channels < 1 || audio->channels > 2) return VFW_E_TYPE_NOT_ACCEPTED;
    if (audio->sampleRate < 8000 || audio->sampleRate > kMaxAudioRate) return VFW_E_TYPE_NOT_ACCEPTED;
    return audio->bitRate > 0 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT ReadVideoStream(const XMLElement* config, WmVideoStream* video)
{
    const XMLElement* mediaType = config->FirstChildElement("wmmediatype");
    HRESULT hr = CheckSubtype(mediaType, MEDIASUBTYPE_WMV2);
    if (FAILED(hr)) return hr;
    const XMLElement* header = mediaType->FirstChildElement("videoinfoheader");
    const XMLElement* bitmap = header ? header->FirstChildElement("bitmapinfoheader") : nullptr;
    if (FAILED(hr = ReadInt64(header, "avgtimeperframe", &video->timePerFrame))) return hr;
    if (FAILED(hr = ReadInt(bitmap, "biwidth", &video->width))) return hr;
    if (FAILED(hr = ReadInt(bitmap, "biheight", &video->height))) return hr;
    video->height = std::abs(video->height);  // negative: top-down rows, same size
    if (video->width <= 0 || video->width > kMaxFrameSide || video->height <= 0 || video->height > kMaxFrameSide)
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (video->timePerFrame <= 0) return VFW_E_TYPE_NOT_ACCEPTED;

    if (config->IntAttribute("vbrenabled", 0) != 0) {
        int quality = 0;
        if (FAILED(hr = ReadInt(config, "vbrquality", &quality))) return hr;
        if (quality < 0 || quality > 100) return VFW_E_TYPE_NOT_ACCEPTED;
        video->vbrQuality = quality;
    } else {
        if (FAILED(hr = ReadInt(config, "bitrate", &video->bitRate))) return hr;
        if (video->bitRate <= 0) return VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (const XMLElement* props = config->FirstChildElement("videomediaprops")) {
        if (FAILED(hr = ReadInt64(props, "maxkeyframespacing", &video->maxKeyFrameSpacing))) return hr;
        if (video->maxKeyFrameSpacing < 0) return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT ReadStream(const XMLElement* config, WmProfileSettings* settings)
{
    GUID major;
    const HRESULT hr = ReadGuid(config, "majortype", &major);
    if (FAILED(hr)) return hr;
    // One stream of each kind: the writer has one input of each.
    if (major == MEDIATYPE_Audio && !settings->audio) return ReadAudioStream(config, &settings->audio.emplace());
    if (major == MEDIATYPE_Video && !settings->video) return ReadVideoStream(config, &settings->video.emplace());
    return VFW_E_TYPE_NOT_ACCEPTED;
}

class CWmProfile final : public CUnknown, public IWMProfile {
public:
    explicit CWmProfile(WmProfileSettings settings) : CUnknown("WM profile"), m_settings(std::move(settings)) {}
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IWMProfile::iid || riid == IUnknown::iid) return GetInterface(static_cast<IWMProfile*>(this), object);
        return E_NOINTERFACE;
    }
    HRESULT GetStreamCount(DWORD* count) override
    {
        if (!count) return E_POINTER;
        *count = (m_settings.video ? 1 : 0) + (m_settings.audio ? 1 : 0);
        return S_OK;
    }
    HRESULT GetSettings(WmProfileSettings* settings) override
    {
        if (!settings) return E_POINTER;
        *settings = m_settings;
        return S_OK;
    }

private:
    const WmProfileSettings m_settings;
};

class CWmProfileManager final : public CUnknown, public IWMProfileManager {
public:
    CWmProfileManager() : CUnknown("WM profile manager") {}
    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** object) override
    {
        if (riid == IWMProfileManager::iid || riid == IUnknown::iid)
            return GetInterface(static_cast<IWMProfileManager*>(this), object);
        return E_NOINTERFACE;
    }
    HRESULT LoadProfileByData(const char* profileXml, IWMProfile** profile) override
    {
        if (!profile) return E_POINTER;
        *profile = nullptr;
        WmProfileSettings settings;
        const HRESULT hr = ParseWmProfile(profileXml, &settings);
        if (FAILED(hr)) return hr;
        return QueryNewObject(new (std::nothrow) CWmProfile(std::move(settings)), IWMProfile::iid,
                              reinterpret_cast<void**>(profile));
    }
};

}  // namespace

HRESULT ParseWmProfile(const char* profileXml, WmProfileSettings* settings)
{
    if (!profileXml || !settings) return E_POINTER;
    tinyxml2::XMLDocument document;
    if (document.Parse(profileXml) != tinyxml2::XML_SUCCESS) return E_INVALIDARG;
    const XMLElement* root = document.RootElement();
    if (!root || std::string_view(root->Name()) != "profile") return E_INVALIDARG;
    WmProfileSettings parsed;
    if (const char* name = root->Attribute("name")) parsed.name = name;
    for (const XMLElement* config = root->FirstChildElement("streamconfig"); config;
         config = config->NextSiblingElement("streamconfig")) {
        const HRESULT hr = ReadStream(config, &parsed);
        if (FAILED(hr)) return hr;
    }
    if (!parsed.video && !parsed.audio) return VFW_E_TYPE_NOT_ACCEPTED;
    *settings = std::move(parsed);
    return S_OK;
}

HRESULT WMCreateProfileManager(IWMProfileManager** manager)
{
    if (!manager) return E_POINTER;
    return QueryNewObject(new (std::nothrow) CWmProfileManager(), IWMProfileManager::iid,
                          reinterpret_cast<void**>(manager));
}
