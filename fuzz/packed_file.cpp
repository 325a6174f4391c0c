// "PicZiku.zip" as a stranger may hand it over: the header reader on whatever it holds; what
// it accepts must lie inside the file.
#include "fuzz/fuzz_target.h"
#include "picture_tool/packed/packed_file.h"

#include <vector>

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    // Small inputs are spread over the header's two tables so both are reached.
    std::vector<std::uint8_t> header(picture_tool::kPackedHeader, 0);
    const std::size_t half = size / 2;
    std::copy_n(data, std::min<std::size_t>(half, 0x20000), header.begin());
    std::copy_n(data + half, std::min<std::size_t>(size - half, 0x20000), header.begin() + 0x20000);
    header[picture_tool::kPackedFlashTypeAt] = size > 0 ? data[0] % 6 : 0;
    const std::uint64_t fileSize = picture_tool::kPackedHeader + std::uint64_t{size} * 64;
    const auto c = picture_tool::readPackedHeader(header, fileSize);
    if (!c)
        return;
    for (const auto& p : c->pictures)
        require(p.offset >= picture_tool::kPackedHeader && p.offset + p.length <= fileSize && p.height <= 1024,
                "picture outside the file");
    for (const auto& f : c->fonts)
        require(f.offset >= picture_tool::kPackedHeader && f.offset + f.length <= fileSize, "font outside the file");
}

} // namespace qv::fuzz
