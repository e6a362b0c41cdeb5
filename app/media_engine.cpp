#include "app/media_engine.h"

#include "components/component_ids.h"
#include "components/register_components.h"
#include "platform/com/class_registry.h"
#include "platform/dshow/graph_interfaces.h"
#include "platform/dshow/media_guids.h"
#include "platform/dshow/platform_filters.h"

namespace {

constexpr GUID FourCC(const char (&code)[5])
{
    return GuidFromFourCC(MakeFourCC(code[0], code[1], code[2], code[3]));
}

struct DecoderPreference {
    GUID subType;
    CLSID decoder;
};

// In the order they are set; "H264" twice, as it always was.
const DecoderPreference kPreferredDecoders[] = {
    {MEDIASUBTYPE_MPEG1Video, CLSID_Mpeg2Decoder},
    {MEDIASUBTYPE_MPEG2_VIDEO, CLSID_Mpeg2Decoder},
    {MEDIASUBTYPE_MPEG1Packet, CLSID_Mpeg2Decoder},
    {FourCC("MMES"), CLSID_Mpeg2Decoder},
    {FourCC("dx50"), CLSID_Mpeg4Decoder},
    {FourCC("divx"), CLSID_Mpeg4Decoder},
    {FourCC("DIVX"), CLSID_Mpeg4Decoder},
    {FourCC("xvid"), CLSID_Mpeg4Decoder},
    {FourCC("mp4v"), CLSID_Mpeg4Decoder},
    {FourCC("mp4s"), CLSID_Mpeg4Decoder},
    {FourCC("H263"), CLSID_Mpeg4Decoder},
    {FourCC("H264"), CLSID_H264Decoder},
    {FourCC("AVC1"), CLSID_H264Decoder},
    {FourCC("avc1"), CLSID_H264Decoder},
    {FourCC("VSSH"), CLSID_H264Decoder},
    {FourCC("H264"), CLSID_H264Decoder},
    {FourCC("X264"), CLSID_H264Decoder},
    {MakeGuid("{000000FF-0000-0010-8000-00AA00389B71}"), CLSID_AudioDecoder},
};

}  // namespace

void SetPreferredDecoders()
{
    ComPtr<IAMPluginControl> pluginControl;
    if (FAILED(CoCreateInstance(CLSID_DirectShowPluginControl, nullptr, CLSCTX_ALL,
                                IID_PPV_ARGS(pluginControl.ReleaseAndGetAddressOf()))))
        return;
    for (const DecoderPreference& preference : kPreferredDecoders)
        pluginControl->SetPreferredClsid(preference.subType, &preference.decoder);
}

void StartMediaEngine()
{
    RegisterPlatformFilters();
    RegisterComponents();
    SetPreferredDecoders();
}
