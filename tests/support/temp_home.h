// A home of the test's own: HOME, the XDG config and data folders and a
// videos folder named in the XDG user directories, all inside a temporary
// folder. The environment is put back afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace testing_files {

class TempHome {
public:
    TempHome()
    {
        Set("HOME", Home());
        Set("XDG_CONFIG_HOME", Config());
        Set("XDG_DATA_HOME", Data());
        std::filesystem::create_directories(Videos());
        std::filesystem::create_directories(Config());
        std::filesystem::create_directories(Data());
        std::ofstream(Config() + "/user-dirs.dirs") << "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n";
    }
    ~TempHome()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    std::string Home() const { return m_folder.File("home"); }
    std::string Videos() const { return Home() + "/Videos"; }
    std::string Config() const { return Home() + "/.config"; }
    std::string Data() const { return Home() + "/.local/share"; }

private:
    void Set(const char* name, const std::string& value)
    {
        const char* previous = std::getenv(name);
        m_saved.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }

    TempFolder m_folder;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

}  // namespace testing_files
