#include "compiler/image/header_area.h"

#include "compiler/image/le_bytes.h"

#include <algorithm>
#include <stdexcept>

namespace qv::image {

void HeaderArea::beginWindows(std::uint32_t windowCount)
{
    if (windowCount > kMaxWindows)
        throw std::invalid_argument("window count above the window-number range");
    std::fill(bytes_.begin(), bytes_.end(), 0);
    windowCount_ = windowCount;
    putU16(bytes_, kWindowCountOffset, static_cast<std::uint16_t>(windowCount));
    writeOffset_ = windowTableEnd(windowCount);
}

std::optional<std::uint32_t> HeaderArea::reserve(std::uint32_t length)
{
    const std::uint64_t end = std::uint64_t(writeOffset_) + length;
    if (end > kStartMapOffset)
        return std::nullopt;
    const std::uint32_t start = writeOffset_;
    writeOffset_ = static_cast<std::uint32_t>((end + 3) & ~std::uint64_t(3));
    return start;
}

void HeaderArea::setWindowEntry(std::uint32_t index, std::uint32_t recordOffset, std::uint32_t recordLength)
{
    if (index >= windowCount_)
        throw std::out_of_range("window index outside the window table");
    const std::uint32_t at = kWindowTableOffset + kWindowEntrySize * index;
    putU32(bytes_, at, recordOffset);
    putU32(bytes_, at + 4, recordLength);
}

} // namespace qv::image
