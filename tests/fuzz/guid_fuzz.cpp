// GUID text, as the attributes of Windows Media profile XML carry it.
#include <algorithm>
#include <cctype>
#include <string>

#include "platform/com/guid.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = FuzzText(data, size);
    const auto guid = ParseGuid(text);
    if (!guid)
        return 0;
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    Require(FormatGuid(*guid) == upper, "a parsed GUID formats back to its text");
    return 0;
}
