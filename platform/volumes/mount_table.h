// Lines of a mount table in the format of /proc/self/mountinfo:
//   id parent major:minor root mountpoint options [optional...] - fstype source superoptions
// Text fields come unescaped (the kernel writes space, tab, newline and
// backslash as \040, \011, \012 and \134).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MountEntry {
    std::string root;        // the folder of the file system mounted here; "/" for a whole volume
    std::string mountPoint;
    std::string fsType;
    std::string source;      // "/dev/sdb1", or a pseudo name such as "proc"
};

// Turns every backslash and three octal digits into that byte; anything else stays.
std::string UnescapeMountField(std::string_view field);

// Nothing for a line that does not have the fields above.
std::optional<MountEntry> ParseMountInfoLine(std::string_view line);

// A real table is a few hundred lines; the bound keeps a runaway file from
// taking the program's memory.
inline constexpr size_t kMaxMountTableBytes = size_t{4} << 20;

// Every well-formed line of the file, in order; nothing when it cannot be
// read. Only the first kMaxMountTableBytes are read, and a line they cut is left out.
std::vector<MountEntry> ReadMountTable(const std::string& path);
