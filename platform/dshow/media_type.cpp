#include "platform/dshow/media_type.h"

#include <cstring>

void FreeMediaType(AM_MEDIA_TYPE& type)
{
    if (type.pbFormat) CoTaskMemFree(type.pbFormat);
    type.pbFormat = nullptr;
    type.cbFormat = 0;
    if (type.pUnk) type.pUnk->Release();
    type.pUnk = nullptr;
}

void DeleteMediaType(AM_MEDIA_TYPE* type)
{
    if (!type) return;
    FreeMediaType(*type);
    CoTaskMemFree(type);
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source)
{
    *target = *source;
    target->pUnk = nullptr;
    if (source->cbFormat == 0 || !source->pbFormat) {
        target->cbFormat = 0;
        target->pbFormat = nullptr;
        return S_OK;
    }
    target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
    if (!target->pbFormat) {
        target->cbFormat = 0;
        return E_OUTOFMEMORY;
    }
    std::memcpy(target->pbFormat, source->pbFormat, source->cbFormat);
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source)
{
    auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!type) return nullptr;
    if (FAILED(CopyMediaType(type, source))) {
        CoTaskMemFree(type);
        return nullptr;
    }
    return type;
}

void CMediaType::InitEmpty()
{
    majortype = GUID_NULL;
    subtype = GUID_NULL;
    bFixedSizeSamples = 1;
    bTemporalCompression = 0;
    lSampleSize = 1;
    formattype = GUID_NULL;
    pUnk = nullptr;
    cbFormat = 0;
    pbFormat = nullptr;
}

CMediaType::CMediaType() { InitEmpty(); }

CMediaType::CMediaType(const GUID& major, const GUID& sub)
{
    InitEmpty();
    majortype = major;
    subtype = sub;
}

CMediaType::CMediaType(const AM_MEDIA_TYPE& type)
{
    InitEmpty();
    CopyMediaType(this, &type);
}

CMediaType::CMediaType(const CMediaType& other) : CMediaType(static_cast<const AM_MEDIA_TYPE&>(other)) {}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& type)
{
    if (&type != this) {
        FreeMediaType(*this);
        CopyMediaType(this, &type);
    }
    return *this;
}

CMediaType& CMediaType::operator=(const CMediaType& other)
{
    return *this = static_cast<const AM_MEDIA_TYPE&>(other);
}

CMediaType::~CMediaType() { FreeMediaType(*this); }

bool CMediaType::operator==(const CMediaType& other) const
{
    return majortype == other.majortype && subtype == other.subtype &&
           formattype == other.formattype && cbFormat == other.cbFormat &&
           (cbFormat == 0 || std::memcmp(pbFormat, other.pbFormat, cbFormat) == 0);
}

bool CMediaType::IsPartiallySpecified() const
{
    return majortype == GUID_NULL || subtype == GUID_NULL || formattype == GUID_NULL;
}

bool CMediaType::MatchesPartial(const AM_MEDIA_TYPE& partial) const
{
    if (partial.majortype != GUID_NULL && partial.majortype != majortype) return false;
    if (partial.subtype != GUID_NULL && partial.subtype != subtype) return false;
    if (partial.formattype == GUID_NULL) return true;
    if (partial.formattype != formattype) return false;
    return partial.cbFormat == 0 ||
           (partial.cbFormat == cbFormat && std::memcmp(partial.pbFormat, pbFormat, cbFormat) == 0);
}

BYTE* CMediaType::AllocFormatBuffer(ULONG size)
{
    ResetFormatBuffer();
    pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!pbFormat) return nullptr;
    std::memset(pbFormat, 0, size);
    cbFormat = size;
    return pbFormat;
}

bool CMediaType::SetFormat(const void* format, ULONG size)
{
    if (!AllocFormatBuffer(size)) return false;
    std::memcpy(pbFormat, format, size);
    return true;
}

void CMediaType::ResetFormatBuffer()
{
    if (pbFormat) CoTaskMemFree(pbFormat);
    pbFormat = nullptr;
    cbFormat = 0;
}

CMediaType MakeVideoType(const GUID& subtype, int width, int height, REFERENCE_TIME timePerFrame)
{
    CMediaType type(MEDIATYPE_Video, subtype);
    type.formattype = FORMAT_VideoInfo;
    auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
    if (!info) return type;
    info->AvgTimePerFrame = timePerFrame;
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biCompression = subtype.Data1;
    type.bTemporalCompression = 0;
    return type;
}

CMediaType MakePcmAudioType(uint32_t sampleRate, uint16_t channels, uint16_t bitsPerSample)
{
    CMediaType type(MEDIATYPE_Audio, MEDIASUBTYPE_PCM);
    type.formattype = FORMAT_WaveFormatEx;
    auto* wave = reinterpret_cast<WAVEFORMATEX*>(type.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    if (!wave) return type;
    wave->wFormatTag = WAVE_FORMAT_PCM;
    wave->nChannels = channels;
    wave->nSamplesPerSec = sampleRate;
    wave->wBitsPerSample = bitsPerSample;
    wave->nBlockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    wave->nAvgBytesPerSec = sampleRate * wave->nBlockAlign;
    type.lSampleSize = wave->nBlockAlign;
    return type;
}
