#include "compiler/compile/user_code.h"

#include "compiler/image/le_bytes.h"
#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <algorithm>
#include <system_error>

namespace qv::compile {
namespace {

// The 64 KiB code space written one byte a record is under 1 MiB of HEX text.
constexpr std::uint64_t kMaxUserCodeHexBytes = 4u << 20;

} // namespace

UserCode loadUserCode(const std::filesystem::path& projectFolder)
{
    UserCode code;
    const auto path = resolveStoredPath(projectFolder, "\\MC8051\\MC8051.hex");
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(*path, ec))
        return code;
    std::string text, why;
    if (!readWholeFile(*path, text, &why, kMaxUserCodeHexBytes)) {
        code.status = UserCode::Status::Invalid;
        code.message = "无法读取MC8051.hex文件(" + utf8ToGbk(why).value_or(why) + ")";
        return code;
    }
    auto image = std::make_unique<hex::CodeImage>();
    const int length = hex::ReadIntelHex(text, *image, &code.message);
    if (length < 0) {
        code.status = UserCode::Status::Invalid;
        return code;
    }
    if (length < 4)
        return code;
    code.status = UserCode::Status::Present;
    code.length = length;
    code.image = std::move(image);
    return code;
}

std::vector<std::uint8_t> userCodeBlock(const hex::CodeImage& image, int length)
{
    const auto e = static_cast<std::uint32_t>(length);
    // E can pass the 64 KiB image by up to 4 bytes (the reader's +1 rule); those bytes are
    // unwritten code space, 0xFF like every other gap.
    std::vector<std::uint8_t> block(12 + e, 0xFF);
    image::putU32(block, 0, 1);
    image::putU32(block, 4, 12);
    image::putU32(block, 8, (e + 4) & ~3u);
    std::copy_n(image.begin(), std::min<std::size_t>(e, image.size()), block.begin() + 12);
    return block;
}

} // namespace qv::compile
