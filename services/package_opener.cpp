#include "services/package_opener.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// How long xdg-open may take to say whether it found a program for the file.
constexpr std::chrono::milliseconds kHandOverWait{5000};
constexpr std::chrono::milliseconds kPollStep{50};

// Waits for `child` up to kHandOverWait; still running counts as success.
bool HandedOver(pid_t child)
{
    const auto deadline = std::chrono::steady_clock::now() + kHandOverWait;
    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ended < 0 && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return true;
        std::this_thread::sleep_for(kPollStep);
    }
}

// Not QProcess: it would kill xdg-open, and the installer it runs, when
// the program ends.
bool OpenWithXdgOpen(const QString& path)
{
    QByteArray file = QFile::encodeName(path);
    char program[] = "xdg-open";
    char* arguments[] = {program, file.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0)
        return false;
    return HandedOver(child);
}

PackageOpener& CurrentOpener()
{
    static PackageOpener opener = OpenWithXdgOpen;
    return opener;
}

}  // namespace

bool OpenPackage(const QString& path)
{
    return CurrentOpener()(path);
}

ScopedPackageOpener::ScopedPackageOpener(PackageOpener opener) : m_previous(std::move(CurrentOpener()))
{
    CurrentOpener() = std::move(opener);
}

ScopedPackageOpener::~ScopedPackageOpener()
{
    CurrentOpener() = std::move(m_previous);
}
