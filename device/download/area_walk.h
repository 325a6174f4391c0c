#pragma once
// The data areas of the window records, walked once in image order (window-table order,
// item order, each item's areas in its own order). The image check walks a copy of the
// header with a sink that only counts; stage 2 walks the real one with a sink that reads
// the image and writes the flash. Both patch the same fields the same way.
#include <cstdint>
#include <span>
#include <string>

namespace qv::device {

class AreaSink {
public:
    virtual ~AreaSink() = default;
    // Writes the next `length` bytes of the image; `address` is where they went (the
    // current address, no transfer, for 0 bytes). False ends the walk.
    virtual bool write(std::uint32_t length, std::uint32_t& address) = 0;
    // The shared table's entry `index`; false when there is none.
    virtual bool shared(std::uint32_t index, std::uint32_t& address) = 0;
    virtual void remember(std::uint32_t address) = 0;
};

enum class WalkEnd { Done, SinkFailed, Damaged };

struct WalkResult {
    WalkEnd end = WalkEnd::Done;
    std::string what; // for Damaged: what is wrong (ASCII)
};

// One item: `item` runs from the item's first byte to its record's end.
WalkResult walkItemAreas(std::span<std::uint8_t> item, AreaSink& sink);

// Every window record of `header` (the whole header area): its items' areas, then its
// checksum. Records and item offsets are checked against the header area before use.
WalkResult walkWindowRecords(std::span<std::uint8_t> header, AreaSink& sink);

// The 16-bit wrapping sum of a record's bytes, its first u16 counted as 0.
std::uint16_t recordChecksum(std::span<const std::uint8_t> record);

} // namespace qv::device
