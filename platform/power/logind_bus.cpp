#include "platform/power/logind_bus.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>

#include <cstdint>
#include <memory>

namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";
constexpr uint64_t kCallTimeoutUsec = 2'000'000;

// No flush on close: every call has had its reply (or timed out) by then, and
// a flush could wait for a peer that no longer reads.
struct BusCloser {
    void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
};
using BusPtr = std::unique_ptr<sd_bus, BusCloser>;

struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using MessagePtr = std::unique_ptr<sd_bus_message, MessageUnref>;

class BusError {
public:
    ~BusError() { sd_bus_error_free(&error_); }
    sd_bus_error* Get() { return &error_; }

private:
    sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

BusPtr OpenPrivate(const std::string& address)
{
    sd_bus* raw = nullptr;
    if (sd_bus_new(&raw) < 0)
        return {};
    BusPtr bus(raw);
    if (sd_bus_set_address(raw, address.c_str()) < 0 || sd_bus_negotiate_fds(raw, 1) < 0 ||
        sd_bus_start(raw) < 0)
        return {};
    return bus;
}

BusPtr Connect(const std::string& address)
{
    BusPtr bus;
    if (address.empty()) {
        sd_bus* raw = nullptr;
        if (sd_bus_open_system(&raw) >= 0)
            bus.reset(raw);
    } else {
        bus = OpenPrivate(address);
    }
    if (bus && sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutUsec) < 0)
        bus.reset();
    return bus;
}

}  // namespace

UniqueFd InhibitSleep(const std::string& busAddress)
{
    BusPtr bus = Connect(busAddress);
    if (!bus)
        return {};
    BusError error;
    sd_bus_message* rawReply = nullptr;
    if (sd_bus_call_method(bus.get(), kService, kPath, kManager, "Inhibit", error.Get(), &rawReply, "ssss",
                           "sleep:idle", "Orvex Tavimo", "Transferring media", "block") < 0)
        return {};
    MessagePtr reply(rawReply);
    int fd = -1;
    if (sd_bus_message_read(reply.get(), "h", &fd) < 0)
        return {};
    // The reply owns fd and closes it with the message; keep a copy of our own.
    return UniqueFd(fcntl(fd, F_DUPFD_CLOEXEC, 3));
}

bool RequestPowerOff(const std::string& busAddress)
{
    BusPtr bus = Connect(busAddress);
    if (!bus)
        return false;
    BusError error;
    const int interactive = 0;
    return sd_bus_call_method(bus.get(), kService, kPath, kManager, "PowerOff", error.Get(), nullptr, "b",
                              interactive) >= 0;
}
