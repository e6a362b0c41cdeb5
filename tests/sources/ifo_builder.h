// Title-set information files (VTS_nn_0.IFO) built byte by byte, with just
// the tables the DVD structure reader looks at: the part-of-title table in
// sector 1, the program chain table from sector 2.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_dvd {

struct Cell {
    uint32_t firstSector = 0;
    uint32_t lastSector = 0;
};

struct ProgramChain {
    std::array<uint8_t, 3> time{0, 0, 0};  // hours, minutes, seconds in BCD
    std::vector<uint8_t> entryCells{1};     // one per program
    std::vector<Cell> cells;
};

struct TitleSet {
    std::vector<std::array<uint8_t, 8>> audio{{0x00, 0x01, 'e', 'n', 0, 0, 0, 0}};
    std::vector<uint16_t> subpictureLanguages;
    std::vector<ProgramChain> chains;
    std::vector<std::vector<uint16_t>> titles;  // the PGC number of each part of each title
};

inline void Put(std::string& bytes, size_t offset, uint32_t value, int width)
{
    if (bytes.size() < offset + size_t(width))
        bytes.resize(offset + size_t(width), '\0');
    for (int i = 0; i < width; ++i)
        bytes[offset + size_t(i)] = char(value >> (8 * (width - 1 - i)));
}

inline std::string BuildIfo(const TitleSet& set)
{
    constexpr size_t kPtt = 2048, kPgci = 4096;
    std::string bytes(kPgci + 8, '\0');
    Put(bytes, 0xC8, kPtt / 2048, 4);
    Put(bytes, 0xCC, kPgci / 2048, 4);
    Put(bytes, 0x202, uint32_t(set.audio.size()), 2);
    for (size_t i = 0; i < set.audio.size(); ++i)
        for (size_t b = 0; b < 8; ++b)
            Put(bytes, 0x204 + 8 * i + b, set.audio[i][b], 1);
    Put(bytes, 0x254, uint32_t(set.subpictureLanguages.size()), 2);
    for (size_t i = 0; i < set.subpictureLanguages.size(); ++i)
        Put(bytes, 0x256 + 6 * i + 2, set.subpictureLanguages[i], 2);

    // Part-of-title table: count, reserved, end address, offsets, entries.
    size_t entry = 8 + 4 * set.titles.size();
    Put(bytes, kPtt, uint32_t(set.titles.size()), 2);
    for (size_t j = 0; j < set.titles.size(); ++j) {
        Put(bytes, kPtt + 8 + 4 * j, uint32_t(entry), 4);
        for (uint16_t chain : set.titles[j]) {
            Put(bytes, kPtt + entry, chain, 2);
            entry += 4;
        }
    }
    Put(bytes, kPtt + 4, uint32_t(entry - 1), 4);

    // Program chain table: count, then one 8-byte pointer per chain.
    Put(bytes, kPgci, uint32_t(set.chains.size()), 2);
    size_t offset = 8 + 8 * set.chains.size();
    for (size_t k = 0; k < set.chains.size(); ++k) {
        const ProgramChain& chain = set.chains[k];
        Put(bytes, kPgci + 8 + 8 * k + 4, uint32_t(offset), 4);
        const size_t b = kPgci + offset;
        Put(bytes, b + 2, uint32_t(chain.entryCells.size()), 1);
        Put(bytes, b + 3, uint32_t(chain.cells.size()), 1);
        for (size_t t = 0; t < 3; ++t)
            Put(bytes, b + 4 + t, chain.time[t], 1);
        const size_t map = 0xEC, cells = map + ((chain.entryCells.size() + 3) & ~size_t(3));
        Put(bytes, b + 0xE6, uint32_t(map), 2);
        Put(bytes, b + 0xE8, uint32_t(cells), 2);
        for (size_t p = 0; p < chain.entryCells.size(); ++p)
            Put(bytes, b + map + p, chain.entryCells[p], 1);
        for (size_t c = 0; c < chain.cells.size(); ++c) {
            Put(bytes, b + cells + 24 * c + 8, chain.cells[c].firstSector, 4);
            Put(bytes, b + cells + 24 * c + 20, chain.cells[c].lastSector, 4);
        }
        offset += cells + 24 * chain.cells.size();
    }
    return bytes;
}

// One program chain of one cell, one title playing it.
inline TitleSet OneTitle(uint32_t first, uint32_t last, std::array<uint8_t, 3> time = {0, 1, 0})
{
    TitleSet set;
    set.chains.push_back({time, {1}, {{first, last}}});
    set.titles = {{1}};
    return set;
}

}  // namespace testing_dvd
