// The shell namespace of this machine, walked through item id lists
// (item_id_list.h):
//   the desktop (the empty list): "My Computer", the user's home folder, and
//     the folders and files in the user's desktop folder;
//   "My Computer": one item per mounted volume that a user thinks of as a
//     drive ("/" and the removable or optical mounts), named by its label;
//   below a volume, the home folder or the desktop folder: path segments.
// An id is one kind byte and then UTF-8 bytes: the mount point of a volume,
// the name of a segment, nothing for "My Computer" and home. The desktop's
// own path is the user's desktop folder; "My Computer" has none.
//
// Folders are read when asked, never cached: a vanished or unreadable
// folder lists as empty. Any thread; the object is not changed after it is
// made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell/item_id_list.h"
#include "platform/volumes/mounted_volumes.h"

// GetAttributes bits, with their shell values.
inline constexpr uint32_t SFGAO_FILESYSTEM = 0x40000000;
inline constexpr uint32_t SFGAO_FOLDER = 0x20000000;

// The places the namespace is made of; Current() reads this machine.
struct ShellPlaces {
    std::string home;
    std::string desktopFolder;
    std::vector<MountedVolume> volumes;  // all of them; the drives are picked out
    static ShellPlaces Current();
};

class CShellNamespace {
public:
    explicit CShellNamespace(ShellPlaces places = ShellPlaces::Current());

    // The children of a folder as one-id lists relative to it: on the
    // desktop "My Computer", home, then the desktop folder's entries; the
    // drives in mount-table order; a folder's entries by name. Hidden
    // entries (a leading dot) are left out, as file managers do.
    std::vector<CNameSpaceItem> EnumObjects(const CNameSpaceItem& folder, bool foldersOnly) const;
    std::string GetDisplayName(const CNameSpaceItem& item) const;
    // SFGAO_FOLDER for what can be walked into (the desktop, "My Computer",
    // drives, folders), SFGAO_FILESYSTEM for what has a path.
    uint32_t GetAttributes(const CNameSpaceItem& item) const;
    // The file system path; empty for "My Computer" and for a list this
    // namespace did not make.
    std::string GetPath(const CNameSpaceItem& item) const;
    // "My Computer", the drive that holds the path, then the path's
    // segments below it; a path on no drive goes through home when it lies
    // below it, else it gives the desktop. Relative paths give the desktop.
    CNameSpaceItem FromPath(const std::string& path) const;
    // "My Computer" (CSIDL_DRIVES).
    static CNameSpaceItem Computer();

private:
    std::vector<const MountedVolume*> Drives() const;

    ShellPlaces m_places;
};
