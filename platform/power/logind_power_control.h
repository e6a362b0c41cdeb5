// PowerControl over systemd-logind: keeping awake holds an inhibitor's file
// descriptor, letting go closes it. Called on the user-interface thread only.
#pragma once

#include <string>

#include "platform/power/power_control.h"
#include "platform/power/unique_fd.h"

class LogindPowerControl final : public PowerControl {
public:
    // An empty address is the system bus (see logind_bus.h).
    explicit LogindPowerControl(std::string busAddress = {});

    // A refused or unanswered inhibit leaves the machine free to sleep; the
    // next KeepAwake(true) asks again.
    void KeepAwake(bool awake) override;
    bool PowerOff() override;

private:
    std::string busAddress_;
    UniqueFd inhibitor_;
};
