#pragma once
// What each fuzz target defines: one run over one input. A broken promise of the reader
// (a save that does not give back what was loaded, a cache past its cap) is a finding and
// traps, like a memory error does under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string_view>

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size);

inline std::string_view asText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

inline void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz finding: %s\n", what);
        std::abort();
    }
}

} // namespace qv::fuzz
