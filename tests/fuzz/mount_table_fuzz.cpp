// The mount table reader on a whole file of mountinfo text: the bounded read,
// the split into lines and ParseMountInfoLine on each of them.
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "platform/volumes/mount_table.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An in-memory file, rewritten for every input, that the reader opens by path.
    static const int file = memfd_create("mountinfo", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    Require(file >= 0 && ftruncate(file, 0) == 0 && pwrite(file, data, size, 0) == static_cast<ssize_t>(size),
            "the input is written to the in-memory file");
    for (const MountEntry& entry : ReadMountTable(path))
        Require(!entry.root.empty() && !entry.mountPoint.empty() && !entry.fsType.empty() && !entry.source.empty(),
                "every field of an entry is filled");
    return 0;
}
