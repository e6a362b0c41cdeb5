#include "fake_logind.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-id128.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

struct BusUnref {
    void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
};

UniqueFd Listen(const std::string& path)
{
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (!fd.IsOpen() || path.size() >= sizeof(address.sun_path))
        throw std::runtime_error("fake logind: cannot make a socket for " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) < 0 || ::listen(fd.Get(), 4) < 0)
        throw std::runtime_error("fake logind: cannot listen on " + path);
    return fd;
}

// Waits for `fd` to be ready for `events` or for the stop pipe; false on stop.
bool WaitFor(int fd, short events, int stopFd)
{
    pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
    int r;
    while ((r = ::poll(fds, 2, -1)) < 0 && errno == EINTR) {
    }
    return r > 0 && (fds[1].revents & POLLIN) == 0;
}

}  // namespace

const sd_bus_vtable FakeLogind::kManagerVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Inhibit", "ssss", "h", &FakeLogind::OnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("PowerOff", "b", "", &FakeLogind::OnPowerOff, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

FakeLogind::FakeLogind(const std::string& socketPath) : socketPath_(socketPath), listener_(Listen(socketPath))
{
    int stop[2];
    if (::pipe2(stop, O_CLOEXEC) < 0)
        throw std::runtime_error("fake logind: no pipe");
    stopRead_ = UniqueFd(stop[0]);
    stopWrite_ = UniqueFd(stop[1]);
    thread_ = std::thread([this] { Serve(); });
}

FakeLogind::~FakeLogind()
{
    const char stop = 1;
    (void)!::write(stopWrite_.Get(), &stop, 1);
    thread_.join();
}

void FakeLogind::SetRefusing(bool refusing)
{
    std::lock_guard lock(mutex_);
    refusing_ = refusing;
}

std::vector<FakeLogind::InhibitCall> FakeLogind::InhibitCalls()
{
    auto lock = LockSettled();
    return inhibitCalls_;
}

std::vector<bool> FakeLogind::PowerOffCalls()
{
    std::lock_guard lock(mutex_);
    return powerOffCalls_;
}

bool FakeLogind::InhibitorHeld(size_t index)
{
    auto lock = LockSettled();
    if (index >= inhibitorWriteEnds_.size())
        throw std::out_of_range("fake logind: no such inhibitor");
    // A pipe whose every read end is closed reports an error to its writer.
    pollfd fd{inhibitorWriteEnds_[index].Get(), POLLOUT, 0};
    ::poll(&fd, 1, 0);
    return (fd.revents & POLLERR) == 0;
}

std::unique_lock<std::mutex> FakeLogind::LockSettled()
{
    std::unique_lock lock(mutex_);
    settled_.wait(lock, [this] { return inhibitsSettled_ == inhibitorWriteEnds_.size(); });
    return lock;
}

int FakeLogind::OnInhibit(sd_bus_message* call, void* self, sd_bus_error* error)
{
    auto& fake = *static_cast<FakeLogind*>(self);
    const char *what, *who, *why, *mode;
    int r = sd_bus_message_read(call, "ssss", &what, &who, &why, &mode);
    if (r < 0)
        return r;
    int ends[2];
    {
        std::lock_guard lock(fake.mutex_);
        fake.inhibitCalls_.push_back({what, who, why, mode});
        if (fake.refusing_)
            return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "refused");
        if (::pipe2(ends, O_CLOEXEC) < 0)
            return -errno;
        fake.inhibitorWriteEnds_.emplace_back(ends[1]);
    }
    UniqueFd readEnd(ends[0]);
    r = sd_bus_reply_method_return(call, "h", readEnd.Get());
    readEnd.Reset();
    {
        std::lock_guard lock(fake.mutex_);
        ++fake.inhibitsSettled_;
    }
    fake.settled_.notify_all();
    return r;
}

int FakeLogind::OnPowerOff(sd_bus_message* call, void* self, sd_bus_error* error)
{
    auto& fake = *static_cast<FakeLogind*>(self);
    int interactive = 0;
    int r = sd_bus_message_read(call, "b", &interactive);
    if (r < 0)
        return r;
    {
        std::lock_guard lock(fake.mutex_);
        fake.powerOffCalls_.push_back(interactive != 0);
        if (fake.refusing_)
            return sd_bus_error_set(error, SD_BUS_ERROR_ACCESS_DENIED, "refused");
    }
    return sd_bus_reply_method_return(call, "");
}

void FakeLogind::Serve()
{
    while (WaitFor(listener_.Get(), POLLIN, stopRead_.Get())) {
        int fd = ::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0)
            ServeConnection(fd);
    }
}

void FakeLogind::ServeConnection(int fd)
{
    sd_bus* raw = nullptr;
    if (sd_bus_new(&raw) < 0) {
        ::close(fd);
        return;
    }
    std::unique_ptr<sd_bus, BusUnref> bus(raw);
    sd_id128_t id;
    sd_id128_randomize(&id);
    if (sd_bus_set_fd(raw, fd, fd) < 0 || sd_bus_set_server(raw, 1, id) < 0 || sd_bus_negotiate_fds(raw, 1) < 0 ||
        sd_bus_add_object_vtable(raw, nullptr, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                 kManagerVtable, this) < 0 ||
        sd_bus_start(raw) < 0)
        return;
    // Until the client hangs up (processing then fails) or the test ends.
    for (;;) {
        int r = sd_bus_process(raw, nullptr);
        if (r < 0)
            return;
        if (r > 0)
            continue;
        if (!WaitFor(sd_bus_get_fd(raw), static_cast<short>(sd_bus_get_events(raw)), stopRead_.Get()))
            return;
    }
}
