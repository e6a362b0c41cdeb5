#include "targets/audio_file_target_handler.h"
#include "targets/m4a_target_handler.h"
#include "targets/mpeg4_target_handler.h"
#include "targets/target_handler.h"
#include "targets/wmv_target_handler.h"

CTargetHandlerList::CTargetHandlerList()
{
    m_handlers.push_back(std::make_unique<CMPEG4TargetHandler>());
    m_handlers.push_back(std::make_unique<CWMVTargetHandler>());
    m_handlers.push_back(std::make_unique<CWaveTargetHandler>());
    m_handlers.push_back(std::make_unique<CM4ATargetHandler>());
    m_handlers.push_back(std::make_unique<CLAMETargetHandler>());
}

QList<CTargetHandler*> CTargetHandlerList::Handlers() const
{
    QList<CTargetHandler*> handlers;
    for (const std::unique_ptr<CTargetHandler>& handler : m_handlers)
        handlers.append(handler.get());
    return handlers;
}
