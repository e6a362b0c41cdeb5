#include "app/stop_signals.h"

#include <QFile>
#include <QSocketNotifier>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_received = 0;
// The handler reads one buffer while the program fills the other.
char g_partialFiles[2][PATH_MAX];
std::atomic<const char*> g_partialFile{nullptr};
int g_wakeUp[2] = {-1, -1};  // the handler writes the signal; the event loop hears it
struct sigaction g_previous[std::size(kSignals)];

// Only async-signal-safe calls here.
void OnStopSignal(int signal)
{
    if (g_received != 0) {
        if (const char* partial = g_partialFile.load())
            ::unlink(partial);
        ::_exit(128 + g_received);
    }
    g_received = signal;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_wakeUp[1], &byte, 1);
}

}  // namespace

CStopSignals::CStopSignals()
{
    g_received = 0;
    g_partialFile = nullptr;
    if (::pipe2(g_wakeUp, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_notifier = new QSocketNotifier(g_wakeUp[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            while (::read(g_wakeUp[0], &byte, 1) == 1) {
            }
            emit StopRequested(Received());
        });
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

CStopSignals::~CStopSignals()
{
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    for (int& end : g_wakeUp) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int CStopSignals::Received() const
{
    return g_received;
}

void CStopSignals::SetPartialFile(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    if (path.isEmpty() || local.size() >= PATH_MAX) {
        g_partialFile = nullptr;
        return;
    }
    char* spare = g_partialFile.load() == g_partialFiles[0] ? g_partialFiles[1] : g_partialFiles[0];
    std::memcpy(spare, local.constData(), static_cast<size_t>(local.size()) + 1);
    g_partialFile = spare;
}
