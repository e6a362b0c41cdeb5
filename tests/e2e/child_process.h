// Runs a program as a child process with an explicit argument list and
// environment, and collects its exit status and everything it printed.
// A child that outlives its time limit is killed, so a hanging program
// fails the test that ran it instead of stalling the whole suite.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_e2e {

struct ChildOutcome {
    bool started = false;  // false: the program could not be run at all
    bool timedOut = false; // killed at the time limit
    int exitCode = -1;     // -1 unless the child exited normally
    int signal = 0;        // the signal that ended it, if one did
    std::string out, err;  // standard output and standard error
};

// Once `when` holds (checked ten times a second while the child runs):
// `action`, then the signals, as a user pressing Ctrl+C would send them.
struct ChildInterrupt {
    std::function<bool()> when;
    std::vector<int> signals;
    std::function<void()> action = nullptr;  // none: only the signals
};

struct ChildLaunch {
    std::vector<std::string> arguments;    // arguments[0] is the program's path
    std::vector<std::string> environment;  // "NAME=value" each; nothing is inherited
    std::filesystem::path workingFolder;   // empty: the caller's
    std::chrono::seconds timeLimit{120};
    ChildInterrupt interrupt;              // none without `when`
};

// Blocks the calling thread until the child has ended and both of its
// output pipes are drained. Standard input is /dev/null.
ChildOutcome RunChild(const ChildLaunch& launch);

}  // namespace testing_e2e
