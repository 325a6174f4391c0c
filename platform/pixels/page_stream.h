#pragma once
// Picture data as the panel reads it: every page of the data starts with a 0x82 byte, so a
// pixel byte never sits on a page start. The stream collects the bytes in memory, knowing the
// flash or image position they will be written at, and the caller appends them in one go.
// The compiler's pictures and the download tool's picture records share it.
#include "platform/surface/color.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv::pixels {

inline constexpr std::uint8_t kPageStartByte = 0x82;

// RGB565 of a colour: the upper bits of each channel.
constexpr std::uint16_t toRgb565(ColorRef c)
{
    return static_cast<std::uint16_t>(((redOf(c) & 0xF8) << 8) | ((greenOf(c) & 0xFC) << 3) | (blueOf(c) >> 3));
}

class PageStream {
public:
    PageStream(std::uint64_t startPosition, std::uint32_t pageMask) : start_(startPosition), pageMask_(pageMask) {}

    std::uint64_t position() const { return start_ + bytes_.size(); }
    std::uint64_t startPosition() const { return start_; }
    void reserve(std::size_t n) { bytes_.reserve(n); }

    // A data byte: a page start gets its 0x82 first.
    void put(std::uint8_t b)
    {
        if ((position() & pageMask_) == 0)
            bytes_.push_back(kPageStartByte);
        bytes_.push_back(b);
    }
    // A pixel, low byte first; a page start may fall between its two bytes.
    void putPixel(std::uint16_t v)
    {
        put(static_cast<std::uint8_t>(v));
        put(static_cast<std::uint8_t>(v >> 8));
    }
    // Data bytes in one go, with the same page-start bytes as put() one by one.
    void putData(const std::uint8_t* data, std::size_t n)
    {
        while (n > 0) {
            if ((position() & pageMask_) == 0)
                bytes_.push_back(kPageStartByte);
            const std::uint64_t room = std::uint64_t{pageMask_} + 1 - (position() & pageMask_);
            const std::size_t k = room < n ? static_cast<std::size_t>(room) : n;
            bytes_.insert(bytes_.end(), data, data + k);
            data += k;
            n -= k;
        }
    }
    // A byte written as it is (the 0x82 that opens every tile).
    void putRaw(std::uint8_t b) { bytes_.push_back(b); }
    void padToPage()
    {
        while ((position() & pageMask_) != 0)
            bytes_.push_back(kPageStartByte);
    }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::uint64_t start_;
    std::uint32_t pageMask_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace qv::pixels
