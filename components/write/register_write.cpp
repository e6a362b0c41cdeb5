#include "components/write/register_write.h"

#include "components/component_ids.h"
#include "components/write/asf_writer.h"
#include "components/write/mp3_writer.h"
#include "components/write/mp4_multiplexer.h"
#include "components/write/wav_writer.h"

void RegisterWriteComponents()
{
    RegisterMp4Multiplexer();
    auto& registry = ClassRegistry::Instance();
    registry.Register(CLSID_WavWriter, CreateComObject<CWavWriter>);
    registry.Register(CLSID_LameMp3Writer, CreateComObject<CMp3Writer>);
    registry.Register(CLSID_WMAsfWriter, CreateComObject<CAsfWriter>);
}
