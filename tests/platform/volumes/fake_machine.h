// A machine for volume tests, described by files in a temporary folder: the
// disks under sys/block and a mount table that each Sources() call rewrites.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/volumes/mounted_volumes.h"
#include "tests/support/temp_folder.h"

namespace volumes_testing {

// A disk as /sys/block shows it.
struct FakeDisk {
    std::string name;
    const char* removable;  // the attribute's text, or nullptr for none
    std::vector<std::string> partitions;
    const char* scsiType = nullptr;  // device/type
    bool onUsb = false;              // its entry links into a USB host's tree
};

class FakeMachine {
public:
    explicit FakeMachine(const std::vector<FakeDisk>& disks)
    {
        std::filesystem::create_directories(SysBlock());
        for (const FakeDisk& disk : disks)
            AddDisk(disk);
    }

    // Writes the mount table (one line each, in order) and says where the machine's files are.
    VolumeSources Sources(const std::vector<std::string>& mountInfoLines) const
    {
        std::string text;
        for (const auto& line : mountInfoLines)
            text += line + "\n";
        testing_files::WriteFileBytes(m_folder.File("mountinfo"), text);
        return {m_folder.File("mountinfo"), SysBlock().string()};
    }

private:
    std::filesystem::path SysBlock() const { return m_folder.Path() / "sys" / "block"; }

    void AddDisk(const FakeDisk& disk)
    {
        namespace fs = std::filesystem;
        using testing_files::WriteFileBytes;
        fs::path entry = SysBlock() / disk.name;
        if (disk.onUsb) {
            entry = m_folder.Path() / "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/block" / disk.name;
            fs::create_directories(entry);
            fs::create_directory_symlink(entry, SysBlock() / disk.name);
        }
        fs::create_directories(entry / "device");
        if (disk.removable)
            WriteFileBytes((entry / "removable").string(), std::string(disk.removable) + "\n");
        if (disk.scsiType)
            WriteFileBytes((entry / "device" / "type").string(), std::string(disk.scsiType) + "\n");
        for (const auto& partition : disk.partitions)
            fs::create_directories(entry / partition);
    }

    testing_files::TempFolder m_folder;
};

}  // namespace volumes_testing
