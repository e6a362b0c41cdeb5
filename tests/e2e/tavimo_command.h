// The program under test, run the way a user runs it from a terminal: no
// window system, and a home of its own inside the test's temporary folder,
// so its settings and its default videos folder never touch the real ones.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"

namespace testing_e2e {

class TavimoCommand {
public:
    // Makes `home` with the XDG folders below it; the videos folder is
    // named in user-dirs.dirs and exists.
    explicit TavimoCommand(const std::filesystem::path& home);

    // Runs the program with `arguments` after its name, from `workingFolder`
    // (empty: the test's). The time limit only catches a hang.
    ChildOutcome Run(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder = {},
                     ChildInterrupt interrupt = {}) const;

    // Where the program writes for "My Computer" without -outdir.
    const std::filesystem::path& VideosFolder() const { return m_videos; }

private:
    std::vector<std::string> Environment() const;

    std::filesystem::path m_home;
    std::filesystem::path m_videos;
};

// "exit 1" or "killed by signal 9 (time limit)", with what was printed,
// for failure messages.
std::string Describe(const ChildOutcome& outcome);

// How often `text` occurs in `in`.
int Occurrences(const std::string& in, const std::string& text);

}  // namespace testing_e2e
