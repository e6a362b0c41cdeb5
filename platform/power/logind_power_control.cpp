#include "platform/power/logind_power_control.h"

#include <utility>

#include "platform/power/logind_bus.h"

LogindPowerControl::LogindPowerControl(std::string busAddress) : busAddress_(std::move(busAddress)) {}

void LogindPowerControl::KeepAwake(bool awake)
{
    if (awake == inhibitor_.IsOpen())
        return;
    inhibitor_ = awake ? InhibitSleep(busAddress_) : UniqueFd();
}

bool LogindPowerControl::PowerOff()
{
    return RequestPowerOff(busAddress_);
}
