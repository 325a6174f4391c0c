#include "sim/vtf/vtf_layout.h"

#include "compiler/image/le_bytes.h"

#include <algorithm>

namespace qv::vtf {

using image::getU16;
using image::getU32;
using image::getU8;

Slot readSlot(std::span<const std::uint8_t> header, int slot)
{
    const std::size_t at = std::size_t(slot) * kSlotSize;
    const auto field = header.subspan(at, kSlotSize);
    Slot s;
    s.inUse = getU8(field, kSlotMarker) == kInUseMarker;
    s.address = getU16(field, kSlotAddress);
    s.length = getU16(field, kSlotLength);
    s.dataOffset = getU32(field, kSlotDataOffset);
    return s;
}

void writeSlot(std::span<std::uint8_t> header, int slot, const Slot& value)
{
    auto field = header.subspan(std::size_t(slot) * kSlotSize, kSlotSize);
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    if (!value.inUse)
        return;
    image::putU8(field, kSlotMarker, kInUseMarker);
    image::putU16(field, kSlotAddress, value.address);
    image::putU16(field, kSlotLength, value.length);
    image::putU32(field, kSlotDataOffset, value.dataOffset);
}

namespace {

bool rangeFitsMemory(const Slot& s) { return std::uint32_t(s.address) + s.length <= kMaxRangeEnd; }

bool areasOverlap(const Slot& a, const Slot& b)
{
    const std::uint64_t aEnd = std::uint64_t(a.dataOffset) + a.length;
    const std::uint64_t bEnd = std::uint64_t(b.dataOffset) + b.length;
    return a.length != 0 && b.length != 0 && a.dataOffset < bEnd && b.dataOffset < aEnd;
}

} // namespace

bool isSlotReadable(const Slot& s, std::uint64_t fileSize)
{
    return s.inUse && rangeFitsMemory(s) && s.dataOffset >= kHeaderSize
           && std::uint64_t(s.dataOffset) + s.length <= fileSize;
}

bool isSlotWritable(std::span<const std::uint8_t> header, int slot, std::uint64_t fileSize)
{
    const Slot s = readSlot(header, slot);
    if (!s.inUse || !rangeFitsMemory(s) || s.dataOffset < kHeaderSize || s.dataOffset > fileSize)
        return false;
    for (int other = 0; other <= kLastSlot; ++other) {
        if (other == slot)
            continue;
        const Slot o = readSlot(header, other);
        if (o.inUse && areasOverlap(s, o))
            return false;
    }
    return true;
}

} // namespace qv::vtf
