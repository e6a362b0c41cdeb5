// The machine's power management, as the transfer queue needs it: keep the
// machine from sleeping while transfers run, and turn it off when the user
// asked for that after the last one.
//
// The process-wide instance talks to systemd-logind over the system bus.
// Tests put a recording instance in its place with ScopedPowerControl, so no
// test ever turns a machine off. Called on the user-interface thread only.
#pragma once

class PowerControl {
public:
    virtual ~PowerControl() = default;

    // Holds (true) or lets go of (false) a sleep inhibitor. Repeating the
    // current state does nothing. A machine without logind is not an error:
    // the transfer goes on without the inhibitor.
    virtual void KeepAwake(bool awake) = 0;

    // Asks for the machine to be turned off now; false when it was refused
    // or could not be asked.
    virtual bool PowerOff() = 0;
};

// The instance the program uses: logind's unless a test replaced it.
PowerControl& ThePowerControl();

// Replaces the process-wide instance for its lifetime.
class ScopedPowerControl {
public:
    explicit ScopedPowerControl(PowerControl& replacement);
    ~ScopedPowerControl();
    ScopedPowerControl(const ScopedPowerControl&) = delete;
    ScopedPowerControl& operator=(const ScopedPowerControl&) = delete;

private:
    PowerControl* previous_;
};
