#pragma once
// Synthetic FPGA programming images, laid out as the programming run reads them: the header
// fields, the block table and the blocks. Used by the tests and the benchmark.
#include "compiler/image/le_bytes.h"
#include "device/fpga/crc16.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace qv::device::test {

struct ImageShape {
    std::uint32_t id = 0x049011CF;
    std::uint32_t imageId = 0x049011CF;
    std::uint32_t idMask = 0x0FFFFFFF;
    std::uint16_t support = 0x0001; // the array only
    std::uint8_t segments = 1;
    std::uint16_t rows = 2;
    std::uint8_t flags = 0;
    bool block2 = false;
    std::uint16_t scanBits = 300;
    std::uint32_t block3 = 0;
    std::uint8_t eraseOptions = 0x5A;
    bool encrypted = false;      // blocks 5 and 6 hold 128-bit pieces, two per segment of a row
    std::uint8_t keyModeByte = 0; // offset 67
};

// The blocks in the image, each behind 16 bytes of padding so a read of one never reaches
// into the window of another.
struct BuiltImage {
    std::vector<std::uint8_t> bytes;
    std::vector<std::pair<std::uint8_t, std::uint32_t>> blocks; // id, offset
    std::uint32_t offsetOf(std::uint8_t id) const
    {
        for (const auto& [i, o] : blocks)
            if (i == id)
                return o;
        return 0;
    }
    std::vector<std::uint8_t> block(std::uint8_t id, std::size_t n) const
    {
        const auto at = bytes.begin() + offsetOf(id);
        return {at, at + static_cast<std::ptrdiff_t>(n)};
    }
};

using image::putLe;

// Writes the CRC of an image's bytes into its last two, after a test changed them.
inline void resealCrc(std::vector<std::uint8_t>& b)
{
    putLe(b, b.size() - 2, fpga::Crc16(std::span(b).first(b.size() - 2)), 2);
}

inline BuiltImage buildImage(const ImageShape& s)
{
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> blocks;
    const auto pattern = [](std::size_t n, std::uint8_t seed) {
        std::vector<std::uint8_t> v(n);
        for (std::size_t i = 0; i < n; ++i)
            v[i] = static_cast<std::uint8_t>(seed + i * 37 + (i >> 3));
        return v;
    };
    const std::size_t rowBytes = std::size_t{s.segments} * (s.encrypted ? 32 : 26);
    blocks.push_back({1, pattern(9, 0x11)});
    blocks.push_back({4, pattern(16, 0x44)});
    blocks.push_back({5, pattern(rowBytes * s.rows, 0x55)});
    blocks.push_back({6, pattern(rowBytes * s.rows, 0x66)});
    blocks.push_back({7, {s.eraseOptions}});
    if (s.block2)
        blocks.push_back({2, pattern((s.scanBits + 7) / 8, 0x22)});
    if (s.block3 != 0) {
        std::vector<std::uint8_t> w(4);
        putLe(w, 0, s.block3, 4);
        blocks.push_back({3, w});
    }
    BuiltImage image;
    std::vector<std::uint8_t>& b = image.bytes;
    b.assign(0x45 + 9 * blocks.size() + 16, 0);
    b[24] = 'E';
    b[30] = 7;
    putLe(b, 31, s.imageId, 4);
    for (int i = 0; i < 16; ++i)
        b[39 + static_cast<std::size_t>(i)] = (s.support >> i) & 1;
    b[55] = s.flags;
    putLe(b, 57, s.idMask, 4);
    b[61] = s.segments;
    putLe(b, 62, s.rows, 2);
    putLe(b, 64, s.scanBits, 2);
    b[66] = 4;
    b[67] = s.keyModeByte;
    b[0x44] = static_cast<std::uint8_t>(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::uint32_t at = static_cast<std::uint32_t>(b.size());
        b[0x45 + 9 * i] = blocks[i].first;
        putLe(b, 0x45 + 9 * i + 1, at, 4);
        image.blocks.push_back({blocks[i].first, at});
        b.insert(b.end(), blocks[i].second.begin(), blocks[i].second.end());
        b.insert(b.end(), 16, 0);
    }
    putLe(b, 25, static_cast<std::uint32_t>(b.size() + 2), 4);
    b.resize(b.size() + 2);
    resealCrc(b);
    return image;
}

} // namespace qv::device::test
