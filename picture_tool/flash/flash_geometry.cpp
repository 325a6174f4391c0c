#include "picture_tool/flash/flash_geometry.h"

#include <algorithm>

namespace qv::picture_tool {
namespace {

constexpr std::uint32_t MiB = 1u << 20;

constexpr std::array<FlashGeometry, 5> kGeometries{{
    {0, 64 * MiB, 512, 0x4000, 0x20000, 2008, 10, 10, 0},
    {1, 128 * MiB, 2048, 0x20000, 0x100000, 10000, 11, 11, 0},
    {2, 256 * MiB, 2048, 0x20000, 0x100000, 10000, 11, 12, 1},
    {3, 512 * MiB, 2048, 0x20000, 0x100000, 10000, 11, 13, 3},
    {4, 1024 * MiB, 2048, 0x20000, 0x100000, 10000, 11, 14, 7},
}};

} // namespace

int FlashGeometry::maxPictures() const
{
    return std::min(pictureLimit, directoryCapacity());
}

std::optional<FlashGeometry> flashGeometry(int type)
{
    if (type < 0 || type >= static_cast<int>(kGeometries.size()))
        return std::nullopt;
    return kGeometries[static_cast<std::size_t>(type)];
}

const std::array<std::string, kFlashTypeCount>& flashCapacityTexts()
{
    static const std::array<std::string, kFlashTypeCount> texts{
        "VGA板FLASH容量:一片64M字节NANDFLASH（默认）", "VGA板FLASH容量:一片128M字节NANDFLASH",
        "VGA板FLASH容量:一片256M字节NANDFLASH",         "VGA板FLASH容量:一片512M字节NANDFLASH",
        "VGA板FLASH容量:一片1G字节NANDFLASH",           "VGA板FLASH容量:两片64M字节NANDFLASH",
        "VGA板FLASH容量:两片128M字节NANDFLASH",         "VGA板FLASH容量:两片256M字节NANDFLASH",
        "VGA板FLASH容量:两片512M字节NANDFLASH",         "VGA板FLASH容量:两片1G字节NANDFLASH"};
    return texts;
}

} // namespace qv::picture_tool
