#include "sim/services/mc8051_request.h"

namespace qv::sim {

std::optional<std::string> Mc8051Request::text(std::uint16_t address, std::size_t maxLength) const
{
    std::string result;
    for (std::int64_t at = address; at < kVarMemSize && result.size() < maxLength; ++at) {
        const std::uint8_t byte = bank_.byteAt(static_cast<std::uint16_t>(at));
        if (byte == 0)
            return result;
        result.push_back(static_cast<char>(byte));
    }
    return std::nullopt;
}

} // namespace qv::sim
