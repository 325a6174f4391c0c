#include "model/paint/paint_context.h"

#include "model/vars/var_bank.h"

namespace qv {

std::optional<std::int32_t> PaintContext::readVar(std::int64_t address, int typeCode) const
{
    if (!varMem)
        return std::nullopt;
    const auto v = varMem->readTyped(address, typeCode);
    if (!v)
        return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<bool> PaintContext::readBit(std::int64_t address, std::int32_t bit) const
{
    if (!varMem || bit < 0)
        return std::nullopt;
    const auto byte = varMem->readByte(address + bit / 8);
    if (!byte)
        return std::nullopt;
    return ((*byte >> (bit % 8)) & 1) != 0;
}

} // namespace qv
