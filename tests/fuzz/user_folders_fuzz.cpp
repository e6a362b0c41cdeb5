// user-dirs.dirs text as the user's config folder may hold it.
#include "platform/shell/user_folders.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string folder = UserDirFromText(FuzzText(data, size), "XDG_VIDEOS_DIR", "/home/user");
    Require(folder.empty() || folder.front() == '/', "a named folder is an absolute path");
    return 0;
}
