#include "platform/volumes/block_disk.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The first word of a sysfs attribute; empty when it is missing.
std::string ReadAttribute(const fs::path& path)
{
    std::ifstream in(path);
    std::string word;
    in >> word;
    return word;
}

// A whole disk has its own entry; a partition is a folder inside its disk's.
std::string DiskName(const fs::path& sysBlock, const std::string& name)
{
    std::error_code error;
    if (fs::is_directory(sysBlock / name, error))
        return name;
    for (fs::directory_iterator it(sysBlock, error), end; !error && it != end; it.increment(error)) {
        if (fs::is_directory(it->path() / name, error))
            return it->path().filename().string();
    }
    return name;
}

// /sys/block entries link to the device's place in the bus tree, where a USB
// disk sits below a "usbN" host controller.
bool IsOnUsb(const fs::path& diskEntry)
{
    std::error_code error;
    const fs::path real = fs::canonical(diskEntry, error);
    if (error)
        return false;
    for (const auto& segment : real) {
        const std::string name = segment.string();
        if (name.size() > 3 && name.starts_with("usb") &&
            name.find_first_not_of("0123456789", 3) == std::string::npos)
            return true;
    }
    return false;
}

// Device names under /dev/mapper and /dev/disk/by-* are links to the kernel's name.
std::string KernelName(const std::string& device)
{
    std::error_code error;
    fs::path path(device);
    if (fs::is_symlink(path, error)) {
        fs::path target = fs::canonical(path, error);
        if (!error)
            path = target;
    }
    return path.filename().string();
}

}  // namespace

DiskKind DescribeDisk(const std::string& sysBlock, const std::string& device)
{
    const std::string disk = DiskName(sysBlock, KernelName(device));
    const fs::path entry = fs::path(sysBlock) / disk;
    DiskKind kind;
    kind.removable = ReadAttribute(entry / "removable") == "1" || IsOnUsb(entry);
    kind.optical = disk.starts_with("sr") || ReadAttribute(entry / "device" / "type") == "5";
    return kind;
}
