// The download's check of a project image ("NandFlash.Zip") before its first transfer.
// Input: u32 file bytes past the header area, 512 bytes mixed into a well-formed start map,
// then the start of the header area (cursor table, window table, records).
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "device/download/image_check.h"
#include "fuzz/fuzz_target.h"

#include <algorithm>
#include <vector>

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    if (size < 4 + image::kStartMapSize)
        return;
    std::vector<std::uint8_t> header(image::kHeaderAreaSize, 0);
    auto map = std::span(header).subspan(image::kStartMapOffset);
    image::putU16(map, image::sm::Magic, image::kStartMapMagic);
    image::putU32(map, image::sm::BlockSize, 0x4000);
    image::putU32(map, image::sm::PageMask, 0x1FF);
    image::putU32(map, image::sm::BlockMask, 0xFFFFC000);
    for (unsigned slot = 0; slot < 16; ++slot)
        image::putU32(map, image::sm::SysVarAddrs + 4 * slot, 0xFFFFFFFF);
    const std::uint64_t extra = data[0] | data[1] << 8 | data[2] << 16 | std::uint64_t{data[3]} << 24;
    for (std::size_t i = 0; i < image::kStartMapSize; ++i)
        map[i] ^= data[4 + i];
    const std::size_t rest = size - 4 - image::kStartMapSize;
    std::copy_n(data + 4 + image::kStartMapSize, std::min<std::size_t>(rest, image::kStartMapOffset), header.begin());
    const std::uint64_t fileSize = image::kHeaderAreaSize + extra;
    std::string why;
    const auto facts = device::checkImage(header, fileSize, &why);
    if (!facts) {
        require(!why.empty(), "a refused image gives no reason");
        return;
    }
    require(image::kHeaderAreaSize + std::uint64_t{facts->cursorBytes} + facts->areaBytes + facts->variableBytes <= fileSize,
            "an accepted image reads past its file");
    require(facts->headerBytes <= image::kStartMapOffset, "an accepted image sends the start map twice");
}

} // namespace qv::fuzz
