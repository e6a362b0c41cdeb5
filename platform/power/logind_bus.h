// The two requests the program makes of systemd-logind, each on a connection
// of its own that lives only for the call. Every call gives up after a short
// timeout, so a hung bus never freezes the window that asked.
//
// An empty bus address means the system bus; tests give the address of a
// stand-in listening on a private socket. Any thread may call.
#pragma once

#include <string>

#include "platform/power/unique_fd.h"

// Takes a "sleep:idle" block inhibitor for the program; the machine may sleep
// again once the returned descriptor is closed. None when it was refused or
// no logind answered.
UniqueFd InhibitSleep(const std::string& busAddress);

// Asks logind to turn the machine off without asking the user; false when it
// was refused or no logind answered.
bool RequestPowerOff(const std::string& busAddress);
