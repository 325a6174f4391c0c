#pragma once
// The 2 MiB header area of the image while it is being compiled: window count, window
// table, window records. Every reservation is checked before anything is written, so a
// record can never reach into the start map at the end of the area.
#include "compiler/image/image_layout.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qv::image {

class HeaderArea {
public:
    HeaderArea() : bytes_(kHeaderAreaSize, 0) {}

    // Zeroes the area, stores the window count and puts the write offset behind the
    // window table. The caller has checked count <= kMaxWindows.
    void beginWindows(std::uint32_t windowCount);

    std::uint32_t windowCount() const { return windowCount_; }
    std::uint32_t writeOffset() const { return writeOffset_; }

    // Claims `length` bytes at the (4-aligned) write offset and advances the offset to the
    // next multiple of 4 behind them. nullopt, with nothing changed, when the bytes would
    // reach into the start map.
    std::optional<std::uint32_t> reserve(std::uint32_t length);

    void setWindowEntry(std::uint32_t index, std::uint32_t recordOffset, std::uint32_t recordLength);

    std::span<std::uint8_t> bytes() { return bytes_; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::span<std::uint8_t> startMap() { return bytes().subspan(kStartMapOffset, kStartMapSize); }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t windowCount_ = 0;
    std::uint32_t writeOffset_ = kWindowTableOffset;
};

} // namespace qv::image
