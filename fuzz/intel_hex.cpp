// The user's 8051 code as Intel HEX text.
#include "compiler/hex/intel_hex.h"
#include "fuzz/fuzz_target.h"

#include <memory>
#include <string>

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    auto image = std::make_unique<hex::CodeImage>();
    std::string message;
    const int length = hex::ReadIntelHex(asText(data, size), *image, &message);
    require(length >= 0 || !message.empty(), "a refused HEX file gives no reason");
}

} // namespace qv::fuzz
