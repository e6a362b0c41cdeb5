// The update manifest as the update server may send it: any bytes.
#include "services/update_manifest.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = FuzzText(data, size);
    ReadUpdateManifest(QByteArray(text.data(), static_cast<qsizetype>(text.size())), QStringLiteral("us"));
    return 0;
}
