#include "tests/e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace testing_e2e {

namespace {

using Clock = std::chrono::steady_clock;

class UniqueFd {
public:
    UniqueFd() = default;
    ~UniqueFd() { Reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return m_fd; }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

struct Pipe {
    UniqueFd read, write;
};

bool OpenPipe(Pipe& pipe)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    pipe.read.Reset(ends[0]);
    pipe.write.Reset(ends[1]);
    return true;
}

// Owns the spawn attributes so every early return frees them.
class SpawnActions {
public:
    SpawnActions() { ::posix_spawn_file_actions_init(&m_actions); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

std::vector<char*> PointersTo(const std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (const auto& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

bool Spawn(const ChildLaunch& launch, Pipe& out, Pipe& err, pid_t* pid)
{
    SpawnActions actions;
    ::posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.Get(), out.write.Get(), 1);
    ::posix_spawn_file_actions_adddup2(actions.Get(), err.write.Get(), 2);
    if (!launch.workingFolder.empty())
        ::posix_spawn_file_actions_addchdir_np(actions.Get(), launch.workingFolder.c_str());
    auto arguments = PointersTo(launch.arguments);
    auto environment = PointersTo(launch.environment);
    return ::posix_spawn(pid, arguments[0], actions.Get(), nullptr, arguments.data(), environment.data()) == 0;
}

// Reads what is there; false once the pipe has reached its end.
bool Drain(int fd, std::string& into)
{
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) return true;
    if (got <= 0) return false;
    into.append(buffer, static_cast<size_t>(got));
    return true;
}

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// Does the interrupt's action and sends its signals once its condition
// holds; true while it waits.
bool Interrupt(pid_t pid, ChildInterrupt& interrupt)
{
    if (!interrupt.when)
        return false;
    if (!interrupt.when())
        return true;
    if (interrupt.action) interrupt.action();
    for (int signal : interrupt.signals) ::kill(pid, signal);
    interrupt.when = nullptr;
    return false;
}

// Collects both pipes until they end; kills the child at the deadline.
void Collect(pid_t pid, Pipe& out, Pipe& err, Clock::time_point deadline, ChildInterrupt interrupt,
             ChildOutcome& outcome)
{
    std::array<pollfd, 2> fds{{{out.read.Get(), POLLIN, 0}, {err.read.Get(), POLLIN, 0}}};
    std::array<std::string*, 2> texts{&outcome.out, &outcome.err};
    int open = 2;
    while (open > 0) {
        const bool waiting = Interrupt(pid, interrupt);
        const int wait = waiting ? std::min(MillisecondsUntil(deadline), 100) : MillisecondsUntil(deadline);
        const int ready = ::poll(fds.data(), fds.size(), wait);
        if (ready == 0 && waiting && MillisecondsUntil(deadline) > 0) continue;
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            if (outcome.timedOut) break;  // killed, yet something still holds the pipes open
            ::kill(pid, SIGKILL);
            outcome.timedOut = true;
            deadline = Clock::now() + std::chrono::seconds(5);
            continue;
        }
        for (size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            if (!Drain(fds[i].fd, *texts[i])) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

void Reap(pid_t pid, ChildOutcome& outcome)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
}

}  // namespace

ChildOutcome RunChild(const ChildLaunch& launch)
{
    ChildOutcome outcome;
    Pipe out, err;
    pid_t pid = 0;
    if (launch.arguments.empty() || !OpenPipe(out) || !OpenPipe(err) || !Spawn(launch, out, err, &pid))
        return outcome;
    outcome.started = true;
    // Only the child keeps the write ends, so its exit ends the pipes.
    out.write.Reset();
    err.write.Reset();
    Collect(pid, out, err, Clock::now() + launch.timeLimit, launch.interrupt, outcome);
    Reap(pid, outcome);
    return outcome;
}

}  // namespace testing_e2e
