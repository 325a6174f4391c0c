#include "compiler/image/nand_geometry.h"

#include <array>

namespace qv::image {
namespace {

constexpr NandGeometry kSmallPage = kDefaultNandGeometry;
constexpr NandGeometry largePage(std::uint32_t capacity) { return {0x7FF, capacity, 0x20000, 0xFFFE0000}; }

const std::array<FlashSizeChoice, 10> kChoices{{
    {"64M字节 (默认)", kSmallPage},
    {"128M字节", largePage(0x08000000)},
    {"256M字节", largePage(0x10000000)},
    {"512M字节", largePage(0x20000000)},
    {"1G字节", largePage(0x40000000)},
    {"64X2M字节", kSmallPage},
    {"128X2M字节", kSmallPage},
    {"256X2M字节", kSmallPage},
    {"512X2M字节", kSmallPage},
    {"1X2G字节", kSmallPage},
}};

} // namespace

std::span<const FlashSizeChoice> flashSizeChoices() { return kChoices; }

std::optional<NandGeometry> geometryForFlashCode(unsigned code)
{
    if (code >= kChoices.size())
        return std::nullopt;
    return kChoices[code].geometry;
}

} // namespace qv::image
