#include "platform/power/power_control.h"

#include "platform/power/logind_power_control.h"

namespace {

PowerControl& LogindInstance()
{
    static LogindPowerControl instance;
    return instance;
}

// Replaced only by ScopedPowerControl, on the user-interface thread.
PowerControl* g_current = nullptr;

}  // namespace

PowerControl& ThePowerControl()
{
    return g_current ? *g_current : LogindInstance();
}

ScopedPowerControl::ScopedPowerControl(PowerControl& replacement) : previous_(g_current)
{
    g_current = &replacement;
}

ScopedPowerControl::~ScopedPowerControl()
{
    g_current = previous_;
}
