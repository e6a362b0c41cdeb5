#include "platform/shell/user_folders.h"

#include <cstdlib>
#include <fstream>

namespace {

// user-dirs.dirs is a few hundred bytes; anything past this is not read.
constexpr std::streamsize kLargestUserDirsFile = 64 * 1024;

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ReadBounded(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string text(static_cast<size_t>(kLargestUserDirsFile), '\0');
    file.read(text.data(), kLargestUserDirsFile);
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

// The quoted value with its escapes undone; empty when it is not quoted.
std::string Unquote(std::string_view value)
{
    if (value.size() < 2 || value.front() != '"')
        return {};
    std::string result;
    for (size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"')
            return result;
        if (c == '\\' && i + 1 < value.size())
            result += value[++i];
        else
            result += c;
    }
    return {};  // no closing quote
}

std::string_view Trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The user-dirs.dirs key of a folder (empty for application data, which
// the file does not name) and the usual place under home.
struct FolderNames {
    const char* key;
    const char* usual;
};

FolderNames NamesOf(SpecialFolder folder)
{
    switch (folder) {
    case SpecialFolder::Desktop:
        return {"XDG_DESKTOP_DIR", "Desktop"};
    case SpecialFolder::Videos:
        return {"XDG_VIDEOS_DIR", "Videos"};
    case SpecialFolder::Music:
        return {"XDG_MUSIC_DIR", "Music"};
    case SpecialFolder::AppData:
        break;
    }
    return {"", ".local/share"};
}

}  // namespace

UserEnvironment UserEnvironment::Current()
{
    return {EnvironmentValue("HOME"), EnvironmentValue("XDG_CONFIG_HOME"), EnvironmentValue("XDG_DATA_HOME")};
}

std::string UserDirFromText(std::string_view text, std::string_view key, const std::string& home)
{
    std::string found;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=')
            continue;
        const std::string value = Unquote(Trimmed(line.substr(key.size() + 1)));
        constexpr std::string_view kHome = "$HOME";
        if (value.compare(0, kHome.size(), kHome) == 0 && (value.size() == kHome.size() || value[kHome.size()] == '/'))
            found = home + value.substr(kHome.size());
        else if (!value.empty() && value.front() == '/')
            found = value;
        // The last line for a key wins, as when the shell sources the file.
    }
    return found;
}

std::string SpecialFolderPath(SpecialFolder folder, const UserEnvironment& environment)
{
    const std::string& home = environment.home;
    const FolderNames names = NamesOf(folder);
    if (folder == SpecialFolder::AppData)
        return environment.dataHome.empty() ? home + "/" + names.usual : environment.dataHome;
    const std::string configHome = environment.configHome.empty() ? home + "/.config" : environment.configHome;
    const std::string named = UserDirFromText(ReadBounded(configHome + "/user-dirs.dirs"), names.key, home);
    return named.empty() ? home + "/" + names.usual : named;
}
