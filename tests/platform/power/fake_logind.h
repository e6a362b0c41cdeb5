// A stand-in for systemd-logind on a private socket, so the real bus code can
// be tested without touching the machine's logind. It serves one connection
// at a time on its own thread: Inhibit hands out the read end of a pipe (the
// write end stays here, to see when the client lets go), PowerOff is only
// recorded. Refusing makes both calls answer with an access-denied error.
#pragma once

#include <systemd/sd-bus.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/power/unique_fd.h"

class FakeLogind {
public:
    struct InhibitCall {
        std::string what, who, why, mode;
    };

    // Listens on socketPath, which must not exist yet.
    explicit FakeLogind(const std::string& socketPath);
    ~FakeLogind();
    FakeLogind(const FakeLogind&) = delete;
    FakeLogind& operator=(const FakeLogind&) = delete;

    std::string Address() const { return "unix:path=" + socketPath_; }
    void SetRefusing(bool refusing);

    std::vector<InhibitCall> InhibitCalls();
    std::vector<bool> PowerOffCalls();  // the "interactive" argument of each
    // Whether the client still holds the inhibitor handed out by call `index`.
    bool InhibitorHeld(size_t index);

private:
    static const sd_bus_vtable kManagerVtable[];
    static int OnInhibit(sd_bus_message* call, void* self, sd_bus_error* error);
    static int OnPowerOff(sd_bus_message* call, void* self, sd_bus_error* error);

    void Serve();
    void ServeConnection(int fd);
    // Waits until every answered Inhibit has let go of this side's copies of
    // the read end, so only the client's copy is left.
    std::unique_lock<std::mutex> LockSettled();

    std::string socketPath_;
    UniqueFd listener_;
    UniqueFd stopRead_, stopWrite_;

    std::mutex mutex_;
    std::condition_variable settled_;
    bool refusing_ = false;
    std::vector<InhibitCall> inhibitCalls_;
    std::vector<UniqueFd> inhibitorWriteEnds_;
    size_t inhibitsSettled_ = 0;
    std::vector<bool> powerOffCalls_;

    std::thread thread_;  // last: starts once everything above exists
};
