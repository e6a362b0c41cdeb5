#include "components/converter_registration.h"

#include "components/frame_rate_converter.h"
#include "components/sample_rate_converter.h"
#include "components/scaler.h"
#include "components/time_grabber.h"
#include "components/video_discard.h"

void RegisterConverters()
{
    auto& registry = ClassRegistry::Instance();
    registry.Register(CLSID_TimeGrabber, CreateComObject<CTimeGrabber>);
    registry.Register(CLSID_VideoDiscard, CreateComObject<CVideoDiscard>);
    registry.Register(CLSID_Scaler, CreateComObject<CScaler>);
    registry.Register(CLSID_FrameRateConverter, CreateComObject<CFrameRateConverter>);
    registry.Register(CLSID_SampleRateConverter, CreateComObject<CSampleRateConverter>);
}
