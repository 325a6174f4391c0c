#pragma once
// The whole image checked before the first transfer, so the download never indexes past a
// buffer, never reads past the file and never writes a piece the compile did not make:
// start map, geometry fields, cursor block, every window record and item (a dry run of
// stage 2 on a copy of the header), the variable memory and the addresses the parameter
// block reads from it.
#include "model/app/nand_geometry.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qv::device {

struct ImageFacts {
    NandGeometry geometry;
    unsigned flashCode = 0;
    std::uint32_t cursorBytes = 0;     // stage 1
    std::uint64_t areaBytes = 0;       // stage 2
    std::uint32_t variableBytes = 0;   // stage 5, page-rounded
    std::uint32_t variableExtent = 0;
    std::uint32_t headerBytes = 0;     // stage 4
};

// A start map with its magic and the block size, page mask and block mask of `geometry`.
bool startMapFits(std::span<const std::uint8_t> startMap, const NandGeometry& geometry);

// `header` is the image's header area, `fileSize` the image file's size. nullopt with
// `why` (ASCII) for an image the download must refuse.
std::optional<ImageFacts> checkImage(std::span<const std::uint8_t> header, std::uint64_t fileSize,
                                     std::string* why);

// System-variable slots whose initial value the parameter block carries: byte slots and
// 32-bit slots.
inline constexpr unsigned kParamByteSlots[] = {9, 10, 11};
inline constexpr unsigned kParamWordSlots[] = {13, 14, 15};

} // namespace qv::device
