#include "components/writers.h"

#include "components/asf_writer.h"
#include "components/component_ids.h"
#include "components/mp3_writer.h"
#include "components/wav_writer.h"

void RegisterWriters()
{
    auto& registry = ClassRegistry::Instance();
    registry.Register(CLSID_WavWriter, CreateComObject<CWavWriter>);
    registry.Register(CLSID_LameMp3Writer, CreateComObject<CMp3Writer>);
    registry.Register(CLSID_WMAsfWriter, CreateComObject<CAsfWriter>);
}
