#pragma once
// The address layout of the HMI variables: table order from address 0, shorts on even
// addresses, ints on multiples of 4, every variable as many bytes as its largest user needs.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace qv {

inline constexpr std::int64_t kVarMemoryBytes = 0x10000;

struct VarLayout {
    std::vector<std::int64_t> addresses; // one per variable, in table order
    std::int64_t end = 0;                // first byte after the last variable
};

// `sizes[i]` is the bytes variable i must hold (a missing entry counts as 1); a short is
// raised to at least 2 bytes, an int to at least 4. A type text that is none of the six is
// put on a multiple of 4 and takes as many bytes as the variable before it.
// `progress` (may be empty) gets 100 x (i + 1) / n after each variable.
VarLayout LayOutVarAddresses(std::span<const std::string> types, std::span<const std::uint64_t> sizes,
                             const std::function<void(int)>& progress = {});

} // namespace qv
