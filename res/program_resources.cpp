#include "res/program_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE may not be used inside a namespace.
static bool RegisterProgramResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(artwork);
    return true;
}

void InitProgramResources()
{
    static const bool registered = RegisterProgramResources();
    Q_UNUSED(registered);
}
