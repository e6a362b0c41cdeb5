// A title set's IFO file as a disc or a copy of one may hold it: any bytes.
#include "sources/dvd/dvd_structure.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > size_t(kMaxIfoBytes)) return 0;
    CDvdStructure structure;
    ReadTitleSet(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), QStringLiteral("VTS_01_0.IFO"),
                 &structure);
    Require(structure.titleSets.size() == 1, "one title set per file");
    Require(structure.titleSets[0]->m_audioDescriptions.size() <= 8, "at most 8 audio streams");
    Require(structure.titleSets[0]->m_subtitleDescriptions.size() <= 32, "at most 32 subpicture streams");
    for (const auto& title : structure.titles) {
        Require(!title->m_ranges.empty(), "a kept title has a range");
        Require(title->m_duration >= 0, "durations are not negative");
        for (const CSectorRange& range : title->m_ranges)
            Require(range.endSector >= range.startSector, "no range runs backwards");
    }
    return 0;
}
