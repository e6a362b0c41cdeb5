// GUID: the 128-bit identifiers that name classes, interfaces and media types.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    std::array<uint8_t, 8> Data4{};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
    friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

namespace guid_detail {

constexpr int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `pos`; nullopt on any non-hex character.
constexpr std::optional<uint32_t> ReadHex(std::string_view text, size_t pos, size_t digits)
{
    uint32_t value = 0;
    for (size_t i = 0; i < digits; ++i) {
        const int v = HexValue(text[pos + i]);
        if (v < 0) return std::nullopt;
        value = (value << 4) | static_cast<uint32_t>(v);
    }
    return value;
}

}  // namespace guid_detail

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces required, any hex case).
constexpr std::optional<GUID> ParseGuid(std::string_view text)
{
    using guid_detail::ReadHex;
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
    for (size_t dash : {9u, 14u, 19u, 24u})
        if (text[dash] != '-') return std::nullopt;
    GUID g;
    const auto d1 = ReadHex(text, 1, 8);
    const auto d2 = ReadHex(text, 10, 4);
    const auto d3 = ReadHex(text, 15, 4);
    if (!d1 || !d2 || !d3) return std::nullopt;
    g.Data1 = *d1;
    g.Data2 = static_cast<uint16_t>(*d2);
    g.Data3 = static_cast<uint16_t>(*d3);
    constexpr size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (size_t i = 0; i < 8; ++i) {
        const auto b = ReadHex(text, bytePos[i], 2);
        if (!b) return std::nullopt;
        g.Data4[i] = static_cast<uint8_t>(*b);
    }
    return g;
}

// For constants written in the source: a malformed literal fails to compile.
consteval GUID MakeGuid(std::string_view text)
{
    const auto g = ParseGuid(text);
    if (!g) throw "malformed GUID literal";
    return *g;
}

// The media sub type that a FOURCC or wave format tag stands for:
// {XXXXXXXX-0000-0010-8000-00AA00389B71}.
constexpr GUID GuidFromFourCC(uint32_t code)
{
    return GUID{code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

constexpr uint32_t MakeFourCC(char a, char b, char c, char d)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string FormatGuid(const GUID& guid);

inline constexpr GUID GUID_NULL{};

template <>
struct std::hash<GUID> {
    size_t operator()(const GUID& g) const noexcept
    {
        uint64_t h = (uint64_t{g.Data1} << 32) ^ (uint64_t{g.Data2} << 16) ^ g.Data3;
        for (uint8_t b : g.Data4) h = h * 1099511628211ull ^ b;
        return static_cast<size_t>(h);
    }
};
