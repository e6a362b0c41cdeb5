// Media types: what a connection carries, with a format block for details.
#pragma once

#include "platform/dshow/dshow_types.h"
#include "platform/dshow/media_guids.h"

struct AM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;   // unused here; always nullptr
    ULONG cbFormat;
    BYTE* pbFormat;   // CoTaskMemAlloc'ed, owned by the structure's holder
};

struct RECT {
    LONG left, top, right, bottom;
};

#pragma pack(push, 2)
struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;  // bytes of codec data that follow the structure
};
#pragma pack(pop)
inline constexpr uint16_t WAVE_FORMAT_PCM = 0x0001;
inline constexpr uint16_t WAVE_FORMAT_IEEE_FLOAT = 0x0003;
static_assert(sizeof(WAVEFORMATEX) == 18);

struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;  // positive: bottom-up rows; negative: top-down
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);
inline constexpr uint32_t BI_RGB = 0;

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    uint32_t dwBitRate;
    uint32_t dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};

struct VIDEOINFOHEADER2 {
    RECT rcSource;
    RECT rcTarget;
    uint32_t dwBitRate;
    uint32_t dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    uint32_t dwInterlaceFlags;
    uint32_t dwCopyProtectFlags;
    uint32_t dwPictAspectRatioX;  // display aspect ratio
    uint32_t dwPictAspectRatioY;
    uint32_t dwControlFlags;
    uint32_t dwReserved2;
    BITMAPINFOHEADER bmiHeader;
};

// Frees the format block and leaves the type's GUIDs as they were.
void FreeMediaType(AM_MEDIA_TYPE& type);
// Frees the format block and the CoTaskMemAlloc'ed structure itself.
void DeleteMediaType(AM_MEDIA_TYPE* type);
// Deep copy into an uninitialised target; E_OUTOFMEMORY leaves it without a format.
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// A CoTaskMemAlloc'ed deep copy, for enumerators; nullptr when out of memory.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);

// Owning, copyable media type. A GUID_NULL major, sub or format type is a
// wildcard when matching partial types.
class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    CMediaType(const GUID& major, const GUID& sub = GUID_NULL);
    CMediaType(const AM_MEDIA_TYPE& type);
    CMediaType(const CMediaType& other);
    CMediaType& operator=(const CMediaType& other);
    CMediaType& operator=(const AM_MEDIA_TYPE& type);
    ~CMediaType();

    // Equal GUIDs and identical format blocks.
    bool operator==(const CMediaType& other) const;
    bool IsValid() const { return majortype != GUID_NULL; }
    bool IsPartiallySpecified() const;
    // True if `partial`'s non-wildcard fields match this type's.
    bool MatchesPartial(const AM_MEDIA_TYPE& partial) const;

    // Allocates a zeroed format block of `size` bytes; nullptr when out of memory.
    BYTE* AllocFormatBuffer(ULONG size);
    // Replaces the format block with a copy of `size` bytes at `format`.
    bool SetFormat(const void* format, ULONG size);
    void ResetFormatBuffer();

    template <class Format>
    const Format* FormatAs() const
    {
        return cbFormat >= sizeof(Format) ? reinterpret_cast<const Format*>(pbFormat) : nullptr;
    }

private:
    void InitEmpty();
};

// Raw video of `width` x `height` pixels in the given sub type, with a
// VIDEOINFOHEADER (FORMAT_VideoInfo) and the frame duration set.
CMediaType MakeVideoType(const GUID& subtype, int width, int height, REFERENCE_TIME timePerFrame);
// PCM audio with a WAVEFORMATEX (FORMAT_WaveFormatEx).
CMediaType MakePcmAudioType(uint32_t sampleRate, uint16_t channels, uint16_t bitsPerSample);
