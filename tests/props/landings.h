#pragma once
#include "model/params/block_bytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <span>

namespace qv::test {

// Member -> offset and width, written from the pages' layouts: every field set to a marker
// lands at its offset and nowhere else.
struct Landing {
    int offset;
    int width;
    std::uint32_t value;
};

inline void expectLandings(const std::array<std::uint8_t, 1024>& before, const std::array<std::uint8_t, 1024>& after,
                    std::span<const Landing> landings)
{
    std::array<bool, 1024> claimed{};
    for (const Landing& l : landings) {
        EXPECT_EQ(blockReadU(after, l.offset, l.width), l.value) << "offset " << l.offset;
        for (int i = 0; i < l.width; ++i)
            claimed[static_cast<std::size_t>(l.offset + i)] = true;
    }
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (!claimed[i]) {
            EXPECT_EQ(after[i], before[i]) << "byte " << i << " changed";
        }
    }
}

} // namespace qv::test
