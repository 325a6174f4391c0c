#pragma once
// The panel's NAND geometry, chosen by the project's FLASH size code (settings byte +70).
#include "model/app/nand_geometry.h"

#include <cstdint>
#include <optional>
#include <span>

namespace qv::image {

using NandGeometry = qv::NandGeometry;

// Where the image's pieces start in flash for codes 0..4 (`mNandFlashOffset`).
inline constexpr std::uint32_t kImageFlashStart = 0x200000;

struct FlashSizeChoice {
    const char* comboText;  // GBK, as the compile-confirm combo shows it
    NandGeometry geometry;
};

// Every FLASH size code, index = code. The doubled-chip codes 5..9 keep the geometry a
// freshly started program has (code 0's), so the image never depends on an earlier compile
// or download.
std::span<const FlashSizeChoice> flashSizeChoices();

// nullopt for a code outside the table (only a damaged settings block holds one).
std::optional<NandGeometry> geometryForFlashCode(unsigned code);

} // namespace qv::image
