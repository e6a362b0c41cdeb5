#include "tests/e2e/tavimo_command.h"

#include <cstdlib>
#include <fstream>

namespace testing_e2e {

namespace {

namespace fs = std::filesystem;

// Sanitizers make the program several times slower; the limit must still
// only catch a hang.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::chrono::seconds kTimeLimit{600};
#else
constexpr std::chrono::seconds kTimeLimit{120};
#endif

// Variables the child inherits so it behaves as this test process does.
constexpr const char* kInherited[] = {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"};

}  // namespace

TavimoCommand::TavimoCommand(const fs::path& home) : m_home(home), m_videos(home / "Filme")
{
    for (const char* folder : {".config", ".local/share", ".local/state", ".cache", "runtime"})
        fs::create_directories(m_home / folder);
    // Qt refuses a runtime folder that others may read.
    fs::permissions(m_home / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    // A videos folder under its own name shows the program asks XDG for it.
    fs::create_directories(m_videos);
    std::ofstream(m_home / ".config" / "user-dirs.dirs") << "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n";
}

std::vector<std::string> TavimoCommand::Environment() const
{
    std::vector<std::string> environment{
        "HOME=" + m_home.string(),
        "XDG_CONFIG_HOME=" + (m_home / ".config").string(),
        "XDG_DATA_HOME=" + (m_home / ".local/share").string(),
        "XDG_STATE_HOME=" + (m_home / ".local/state").string(),
        "XDG_CACHE_HOME=" + (m_home / ".cache").string(),
        "XDG_RUNTIME_DIR=" + (m_home / "runtime").string(),
        "QT_QPA_PLATFORM=offscreen",
        "LC_ALL=C.UTF-8",
    };
    for (const char* name : kInherited)
        if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
    return environment;
}

ChildOutcome TavimoCommand::Run(const std::vector<std::string>& arguments, const fs::path& workingFolder,
                                ChildInterrupt interrupt) const
{
    ChildLaunch launch;
    launch.arguments.push_back(TAVIMO_PROGRAM);
    launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
    launch.environment = Environment();
    launch.workingFolder = workingFolder;
    launch.timeLimit = kTimeLimit;
    launch.interrupt = std::move(interrupt);
    return RunChild(launch);
}

std::string Describe(const ChildOutcome& outcome)
{
    std::string status;
    if (!outcome.started)
        status = "could not start " TAVIMO_PROGRAM;
    else if (outcome.signal != 0)
        status = "killed by signal " + std::to_string(outcome.signal) + (outcome.timedOut ? " (time limit)" : "");
    else
        status = "exit " + std::to_string(outcome.exitCode);
    return status + "\n--- stdout:\n" + outcome.out + "--- stderr:\n" + outcome.err;
}

int Occurrences(const std::string& in, const std::string& text)
{
    int count = 0;
    for (auto at = in.find(text); at != std::string::npos; at = in.find(text, at + text.size())) ++count;
    return count;
}

}  // namespace testing_e2e
