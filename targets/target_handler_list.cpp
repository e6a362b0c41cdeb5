#include "targets/audio_file_target_handler.h"
#include "targets/m4a_target_handler.h"
#include "targets/mpeg4_target_handler.h"
#include "targets/target_handler.h"
#include "targets/wmv_target_handler.h"

CTargetHandlerList::CTargetHandlerList()
{
    m_handlers << new CMPEG4TargetHandler << new CWMVTargetHandler << new CWaveTargetHandler << new CM4ATargetHandler
              << new CLAMETargetHandler;
}

CTargetHandlerList::~CTargetHandlerList()
{
    qDeleteAll(m_handlers);
}
