// Helpers shared by the fuzz targets in this folder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// The fuzzer's bytes as text.
inline std::string_view FuzzText(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Stops the run with `what` when a property of the result does not hold;
// libFuzzer keeps the input that broke it.
inline void Require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}
