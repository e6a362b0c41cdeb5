#include "components/convert/register_convert.h"

#include "components/convert/audio_format_converter.h"
#include "components/convert/colour_space_converter.h"
#include "components/convert/frame_rate_converter.h"
#include "components/convert/sample_rate_converter.h"
#include "components/convert/scaler.h"
#include "components/convert/time_grabber.h"
#include "components/convert/video_discard.h"

void RegisterConvertComponents()
{
    auto& registry = ClassRegistry::Instance();
    registry.Register(CLSID_TimeGrabber, CreateComObject<CTimeGrabber>);
    registry.Register(CLSID_VideoDiscard, CreateComObject<CVideoDiscard>);
    registry.Register(CLSID_Scaler, CreateComObject<CScaler>);
    registry.Register(CLSID_FrameRateConverter, CreateComObject<CFrameRateConverter>);
    registry.Register(CLSID_SampleRateConverter, CreateComObject<CSampleRateConverter>);
    RegisterColourSpaceConverter();
    RegisterAudioFormatConverter();
}
