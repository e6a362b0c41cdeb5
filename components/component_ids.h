// The class ids under which the codec components are registered, the names
// they take in a graph, their private interfaces' IIDs and the parameter
// GUIDs that the program sends through IModuleConfig.
#pragma once

#include "platform/com/guid.h"

// Sources and demultiplexers.
inline constexpr CLSID CLSID_NetworkSource = MakeGuid("{8BCD3EB9-9C3D-4CF8-BBDA-D19AF1C1B45B}");
inline constexpr CLSID CLSID_Demultiplexer = MakeGuid("{2A55FF12-1657-41D7-9D2D-A2CDC6978FF2}");
inline constexpr CLSID CLSID_SecondDemultiplexer = MakeGuid("{136DCBF5-3874-4B70-AE3E-15997D6334F7}");
inline constexpr CLSID CLSID_DvdSource = MakeGuid("{A5719230-3F69-41A3-B421-BA0217A23173}");

// Decoders.
inline constexpr CLSID CLSID_H264Decoder = MakeGuid("{96B9D0ED-8D13-4171-A983-B84D88D627BE}");
inline constexpr CLSID CLSID_Mpeg4Decoder = MakeGuid("{FC86AD6C-894A-44E9-A283-4B5A9DD6CA65}");
inline constexpr CLSID CLSID_Mpeg2Decoder = MakeGuid("{BC4EB321-771F-4E9F-AF67-37C631ECA106}");
inline constexpr CLSID CLSID_AudioDecoder = MakeGuid("{19987CEE-DEE8-49DC-98EC-F21380AA9E68}");
inline constexpr CLSID CLSID_Ac3Decoder = MakeGuid("{982788F5-87AD-4F7C-862E-6D18549E9554}");
// Registered for intelligent connect only: whatever else the containers carry.
inline constexpr CLSID CLSID_OtherVideoDecoder = MakeGuid("{6A1D0C2E-5B7F-4E33-9C41-2F8E7D3A9B01}");
inline constexpr CLSID CLSID_OtherAudioDecoder = MakeGuid("{6A1D0C2E-5B7F-4E33-9C41-2F8E7D3A9B02}");
inline constexpr CLSID CLSID_ColourSpaceConverter = MakeGuid("{6A1D0C2E-5B7F-4E33-9C41-2F8E7D3A9B03}");
inline constexpr CLSID CLSID_AudioFormatConverter = MakeGuid("{6A1D0C2E-5B7F-4E33-9C41-2F8E7D3A9B04}");

// Converters.
inline constexpr CLSID CLSID_TimeGrabber = MakeGuid("{1C5DD401-43A5-4238-82E1-8DDF21E88631}");
inline constexpr CLSID CLSID_SampleRateConverter = MakeGuid("{7C32A8A2-17B8-4925-9699-9863A9B7BCB8}");
inline constexpr CLSID CLSID_FrameRateConverter = MakeGuid("{A4DCA218-AC9E-4D1F-8600-C5B1F390D408}");
inline constexpr CLSID CLSID_Scaler = MakeGuid("{BEB7FFE8-37BA-4849-AE26-7A10EF20A303}");

// Encoders, multiplexers and writers.
inline constexpr CLSID CLSID_AvcEncoder = MakeGuid("{89E38862-6553-4936-9202-D6AAF66E96CB}");
inline constexpr CLSID CLSID_Mpeg4Encoder = MakeGuid("{4D6D1E58-D8C4-47B4-B968-836F443AAC90}");
inline constexpr CLSID CLSID_AacEncoder = MakeGuid("{34C7AD29-A6FD-48E1-9AEF-E7A7397912B7}");
inline constexpr CLSID CLSID_Mp4Multiplexer = MakeGuid("{0755FD77-C79A-4ED3-9E2B-8F90B1496510}");
inline constexpr CLSID CLSID_VideoDiscard = MakeGuid("{D54CE642-6ABA-4C17-AA17-D712E9AE8036}");
inline constexpr CLSID CLSID_WavWriter = MakeGuid("{A3692B98-5DB9-48E5-8CFF-072C78206A01}");
inline constexpr CLSID CLSID_LameMp3Writer = MakeGuid("{9B9AB9AE-B038-40DB-9DEF-3EBC150CE126}");
inline constexpr CLSID CLSID_WMAsfWriter = MakeGuid("{7C23220E-55BB-11D3-8B16-00C04FB6BD3D}");

// The media information object.
inline constexpr CLSID CLSID_MediaInfo = MakeGuid("{1A142553-C7DE-4C38-80E7-CFA6CDF5F20D}");

// Private interfaces.
inline constexpr IID IID_ITimeGrabber = MakeGuid("{063EF76E-9790-44C2-AAAC-F63671C6B875}");
inline constexpr IID IID_IVideoDiscard = MakeGuid("{E8AABCBF-4EEF-429A-BA13-2880578CB312}");
inline constexpr IID IID_IMediaInfo = MakeGuid("{C771CC0B-BF97-41B5-BB81-00956A9BB928}");
inline constexpr IID IID_IDvdSourceRanges = MakeGuid("{9E45075F-BCB7-44E1-B60D-CF4B506DDA88}");
inline constexpr IID IID_IConfigAsfWriter = MakeGuid("{45086030-F7E4-486A-B504-826BB5792A3B}");

// Parameters (IModuleConfig::SetValue). What each means here is documented
// at the component that takes it.
namespace component_params {

// First video decoder.
inline constexpr GUID DecoderOutputMode = MakeGuid("{AF65371F-7E7D-40A4-A1BA-AAFD10090ACD}");
inline constexpr GUID DecoderInputFrameRate = MakeGuid("{1959B33C-DB92-47EC-B466-6308D9FBC081}");

// Converters.
inline constexpr GUID SampleRate = MakeGuid("{1AF02EDB-7353-4A44-B4FE-106DB15EA05C}");
inline constexpr GUID MaxChannels = MakeGuid("{5C0E3A7B-2D94-4F61-A8B3-7E1F60C2D948}");
inline constexpr GUID FrameRate = MakeGuid("{7CFA24E9-81FC-41A5-928E-66B9F781B6DC}");
inline constexpr GUID ScalerKeepAspect = MakeGuid("{A68F13F1-CC33-436A-BCBF-0A5C95EBE27F}");
inline constexpr GUID ScalerWidth = MakeGuid("{04B86B7E-C04B-448F-BFF5-2A50F1945ACD}");
inline constexpr GUID ScalerHeight = MakeGuid("{32A5E96D-2AC3-4D46-BF70-431BEE62DF35}");
inline constexpr GUID ScalerFullHd = MakeGuid("{6E7CFA3C-7395-4DF9-A3D2-7E1DBE442B42}");

// Encoders (the bit rate is bits per second for video, a table index for AAC).
inline constexpr GUID EncoderProfile = MakeGuid("{0D6239BD-E7DC-4DDB-AB8D-C21E8AFDA71C}");
inline constexpr GUID AvcOption = MakeGuid("{B1E3E1BF-6225-4351-862C-66989AEE22B4}");
inline constexpr GUID Mpeg4Option = MakeGuid("{DE580597-4F6B-4458-84D2-6BE547B6A541}");
inline constexpr GUID EncoderMode = MakeGuid("{CD701824-5F65-4520-8DB0-26548212808C}");
inline constexpr GUID BitRate = MakeGuid("{BDD50372-38E2-4A26-BA15-482B70EE136C}");
// Video encoders' threads; 0 (the default) lets the encoder choose for the machine.
inline constexpr GUID EncoderThreads = MakeGuid("{5F0C2B7E-93A4-4E61-8D2F-1B7C6A9E4D38}");

// MP4 multiplexer.
inline constexpr GUID MuxFirst = MakeGuid("{67F699AE-4856-4292-99F1-BB6FDB596E43}");
inline constexpr GUID MuxSecond = MakeGuid("{AB50A92F-1AF8-4F03-A35B-7EDEF95AE1F0}");

// Second demultiplexer for DVD titles, in the order they are sent.
inline constexpr GUID DvdDemux1 = MakeGuid("{64B52AAA-C4E5-45BE-AD97-82B5E247FFCA}");
inline constexpr GUID DvdDemux2 = MakeGuid("{2BB2DCDC-E4AD-4EA6-B3C7-7D5ACA983968}");
inline constexpr GUID DvdDemux3 = MakeGuid("{25A0589F-C6AE-40B1-998E-FDF145ACA5EC}");
inline constexpr GUID DvdDemux4 = MakeGuid("{36CBFB53-6D75-4CCD-B67A-CFA4093E20F3}");
inline constexpr GUID DvdDemux5 = MakeGuid("{4CEC0C13-A72D-42E4-90DF-CE8B91D5C5E1}");
inline constexpr GUID DvdDemux6 = MakeGuid("{9DA8B680-8F52-4A88-806D-EBEB289BBB25}");

}  // namespace component_params
