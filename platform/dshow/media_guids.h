// The major types, sub types, format types and platform class ids that the
// program names.
#pragma once

#include "platform/com/guid.h"

// Major types.
inline constexpr GUID MEDIATYPE_Video = MakeGuid("{73646976-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIATYPE_Audio = MakeGuid("{73647561-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIATYPE_Stream = MakeGuid("{E436EB83-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIATYPE_Text = MakeGuid("{73747874-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIATYPE_MPEG2_PACK = MakeGuid("{36523B13-8EE5-11D1-8CA3-0060B057664A}");
inline constexpr GUID MEDIATYPE_MPEG2_PES = MakeGuid("{E06D8020-DB46-11CF-B4D1-00805F6CBBEA}");
inline constexpr GUID MEDIATYPE_DVD_ENCRYPTED_PACK = MakeGuid("{ED0B916A-044D-11D1-AA78-00C04FC31D60}");

// Sub types.
inline constexpr GUID MEDIASUBTYPE_None = MakeGuid("{E436EB8E-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_RGB24 = MakeGuid("{E436EB7D-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_RGB32 = MakeGuid("{E436EB7E-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_ARGB32 = MakeGuid("{773C9AC0-3274-11D0-B724-00AA006C1A01}");
inline constexpr GUID MEDIASUBTYPE_YV12 = GuidFromFourCC(MakeFourCC('Y', 'V', '1', '2'));
inline constexpr GUID MEDIASUBTYPE_I420 = GuidFromFourCC(MakeFourCC('I', '4', '2', '0'));
inline constexpr GUID MEDIASUBTYPE_IYUV = GuidFromFourCC(MakeFourCC('I', 'Y', 'U', 'V'));
inline constexpr GUID MEDIASUBTYPE_NV12 = GuidFromFourCC(MakeFourCC('N', 'V', '1', '2'));
inline constexpr GUID MEDIASUBTYPE_YUY2 = GuidFromFourCC(MakeFourCC('Y', 'U', 'Y', '2'));
inline constexpr GUID MEDIASUBTYPE_H264 = GuidFromFourCC(MakeFourCC('H', '2', '6', '4'));
inline constexpr GUID MEDIASUBTYPE_AVC1 = GuidFromFourCC(MakeFourCC('A', 'V', 'C', '1'));
inline constexpr GUID MEDIASUBTYPE_avc1 = GuidFromFourCC(MakeFourCC('a', 'v', 'c', '1'));
inline constexpr GUID MEDIASUBTYPE_MP4V = GuidFromFourCC(MakeFourCC('M', 'P', '4', 'V'));
inline constexpr GUID MEDIASUBTYPE_mp4v = GuidFromFourCC(MakeFourCC('m', 'p', '4', 'v'));
inline constexpr GUID MEDIASUBTYPE_XVID = GuidFromFourCC(MakeFourCC('X', 'V', 'I', 'D'));
inline constexpr GUID MEDIASUBTYPE_DIVX = GuidFromFourCC(MakeFourCC('D', 'I', 'V', 'X'));
inline constexpr GUID MEDIASUBTYPE_WMV2 = GuidFromFourCC(MakeFourCC('W', 'M', 'V', '2'));
inline constexpr GUID MEDIASUBTYPE_MPEG1Packet = MakeGuid("{E436EB80-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_MPEG1Payload = MakeGuid("{E436EB81-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_MPEG1Video = MakeGuid("{E436EB86-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_MPEG2_VIDEO = MakeGuid("{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}");
inline constexpr GUID MEDIASUBTYPE_MPEG2_PROGRAM = MakeGuid("{E06D8022-DB46-11CF-B4D1-00805F6CBBEA}");
inline constexpr GUID MEDIASUBTYPE_DVD_SUBPICTURE = MakeGuid("{E06D802D-DB46-11CF-B4D1-00805F6CBBEA}");
inline constexpr GUID MEDIASUBTYPE_DOLBY_AC3 = MakeGuid("{E06D802C-DB46-11CF-B4D1-00805F6CBBEA}");
inline constexpr GUID MEDIASUBTYPE_PCM = GuidFromFourCC(0x0001);
inline constexpr GUID MEDIASUBTYPE_IEEE_FLOAT = GuidFromFourCC(0x0003);
inline constexpr GUID MEDIASUBTYPE_MP3 = GuidFromFourCC(0x0055);
inline constexpr GUID MEDIASUBTYPE_WMAUDIO2 = GuidFromFourCC(0x0161);
inline constexpr GUID MEDIASUBTYPE_AAC = GuidFromFourCC(0x00FF);

// Format types.
inline constexpr GUID FORMAT_None = MakeGuid("{0F6417D6-C318-11D0-A43F-00A0C9223196}");
inline constexpr GUID FORMAT_VideoInfo = MakeGuid("{05589F80-C356-11CE-BF01-00AA0055595A}");
inline constexpr GUID FORMAT_VideoInfo2 = MakeGuid("{F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA}");
inline constexpr GUID FORMAT_WaveFormatEx = MakeGuid("{05589F81-C356-11CE-BF01-00AA0055595A}");
inline constexpr GUID FORMAT_MPEG2Video = MakeGuid("{E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}");

// Time formats.
inline constexpr GUID TIME_FORMAT_NONE = GUID_NULL;
inline constexpr GUID TIME_FORMAT_MEDIA_TIME = MakeGuid("{7B785574-8C82-11CF-BC0C-00AA00AC74F6}");

// Classes that come with the engine.
inline constexpr CLSID CLSID_FilterGraph = MakeGuid("{E436EBB3-524F-11CE-9F53-0020AF0BA770}");
inline constexpr CLSID CLSID_AsyncReader = MakeGuid("{E436EBB5-524F-11CE-9F53-0020AF0BA770}");
inline constexpr CLSID CLSID_FileWriter = MakeGuid("{8596E5F0-0DA5-11D0-BD21-00A0C911CE86}");
inline constexpr CLSID CLSID_DirectShowPluginControl = MakeGuid("{8670C736-F614-427B-8ADA-BBADC587194B}");
inline constexpr CLSID CLSID_SystemClock = MakeGuid("{E436EBB1-524F-11CE-9F53-0020AF0BA770}");
