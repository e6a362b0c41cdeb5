#include "platform/volumes/mount_table.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace {

std::string ReadAtMost(std::ifstream& in, size_t limit)
{
    std::string text;
    std::array<char, 16384> chunk;
    while (text.size() < limit) {
        in.read(chunk.data(), static_cast<std::streamsize>(std::min(chunk.size(), limit - text.size())));
        if (in.gcount() <= 0)
            break;
        text.append(chunk.data(), static_cast<size_t>(in.gcount()));
    }
    return text;
}

bool IsOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

std::vector<std::string_view> SplitOnSpaces(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        if (end > start)
            fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

}  // namespace

std::string UnescapeMountField(std::string_view field)
{
    std::string text;
    text.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

std::optional<MountEntry> ParseMountInfoLine(std::string_view line)
{
    constexpr size_t kMountPoint = 4, kFirstOptional = 6;
    const auto fields = SplitOnSpaces(line);
    // The separator comes after any number of optional fields.
    size_t separator = kFirstOptional;
    while (separator < fields.size() && fields[separator] != "-")
        ++separator;
    if (separator + 2 >= fields.size())
        return std::nullopt;
    return MountEntry{UnescapeMountField(fields[kMountPoint - 1]), UnescapeMountField(fields[kMountPoint]),
                      UnescapeMountField(fields[separator + 1]), UnescapeMountField(fields[separator + 2])};
}

std::vector<MountEntry> ReadMountTable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text = ReadAtMost(in, kMaxMountTableBytes);
    // Past the bound the last line is cut off: a cut source or mount point would be a wrong volume.
    if (text.size() == kMaxMountTableBytes)
        text.erase(text.find_last_of('\n') + 1);
    std::vector<MountEntry> entries;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        if (auto entry = ParseMountInfoLine(std::string_view(text).substr(start, end - start)))
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}
