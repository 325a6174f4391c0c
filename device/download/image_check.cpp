#include "device/download/image_check.h"

#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "compiler/image/nand_geometry.h"
#include "device/download/area_walk.h"

#include <vector>

namespace qv::device {
namespace {

using image::getU32;
namespace sm = image::sm;

// Counts the areas and the shared table as stage 2 would, without reading or writing.
class CountingSink final : public AreaSink {
public:
    bool write(std::uint32_t length, std::uint32_t& address) override
    {
        address = static_cast<std::uint32_t>(bytes);
        bytes += length;
        return true;
    }
    bool shared(std::uint32_t index, std::uint32_t& address) override
    {
        if (index >= sharedCount)
            return false;
        address = 0;
        return true;
    }
    void remember(std::uint32_t) override { ++sharedCount; }
    std::uint64_t bytes = 0;
    std::uint64_t sharedCount = 0;
};

std::optional<ImageFacts> refuse(std::string* why, std::string text)
{
    if (why)
        *why = std::move(text);
    return std::nullopt;
}

} // namespace

bool startMapFits(std::span<const std::uint8_t> map, const NandGeometry& g)
{
    return image::getU16(map, sm::Magic) == image::kStartMapMagic && getU32(map, sm::BlockSize) == g.blockSize &&
           getU32(map, sm::PageMask) == g.pageMask && getU32(map, sm::BlockMask) == g.blockMask;
}

std::optional<ImageFacts> checkImage(std::span<const std::uint8_t> header, std::uint64_t fileSize, std::string* why)
{
    if (header.size() != image::kHeaderAreaSize || fileSize < image::kHeaderAreaSize)
        return refuse(why, "the file is shorter than its header area");
    const auto map = header.subspan(image::kStartMapOffset, image::kStartMapSize);
    if (image::getU16(map, sm::Magic) != image::kStartMapMagic)
        return refuse(why, "no start map");
    ImageFacts f;
    f.flashCode = image::getU8(map, sm::FlashSizeCode);
    const auto geometry = image::geometryForFlashCode(f.flashCode);
    if (!geometry)
        return refuse(why, "unknown FLASH size code " + std::to_string(f.flashCode));
    f.geometry = *geometry;
    if (!startMapFits(map, f.geometry))
        return refuse(why, "the start map's geometry differs from its FLASH size code");

    std::uint64_t read = image::kHeaderAreaSize;
    f.cursorBytes = getU32(header, image::kCursorTableOffset);
    read += f.cursorBytes;
    if (read > fileSize)
        return refuse(why, "the cursor block runs past the file");

    f.headerBytes = getU32(map, sm::HeaderBytesUsed);
    if (f.headerBytes > image::kStartMapOffset)
        return refuse(why, "the used header runs into the start map");

    std::vector<std::uint8_t> copy(header.begin(), header.end());
    CountingSink counter;
    const WalkResult walk = walkWindowRecords(copy, counter);
    if (walk.end == WalkEnd::SinkFailed)
        return refuse(why, "a shared area index past the areas written before it");
    if (walk.end == WalkEnd::Damaged)
        return refuse(why, walk.what);
    f.areaBytes = counter.bytes;
    read += f.areaBytes;
    if (read > fileSize)
        return refuse(why, "the item areas run past the file");

    f.variableExtent = getU32(map, sm::VarExtent);
    f.variableBytes = static_cast<std::uint32_t>(image::roundUpToPage(f.variableExtent, f.geometry.pageMask));
    if (f.variableExtent > 0x10000)
        return refuse(why, "variable memory larger than 64 KiB");
    read += f.variableBytes;
    if (read > fileSize)
        return refuse(why, "the variable memory runs past the file");

    const auto slotAddressOk = [&](unsigned slot, std::uint32_t width) {
        const auto address = static_cast<std::int32_t>(getU32(map, sm::SysVarAddrs + 4 * slot));
        return address < 0 || std::uint64_t(address) + width <= f.variableExtent;
    };
    for (unsigned slot : kParamByteSlots)
        if (!slotAddressOk(slot, 1))
            return refuse(why, "system variable " + std::to_string(slot) + " outside the variable memory");
    for (unsigned slot : kParamWordSlots)
        if (!slotAddressOk(slot, 4))
            return refuse(why, "system variable " + std::to_string(slot) + " outside the variable memory");
    return f;
}

} // namespace qv::device
