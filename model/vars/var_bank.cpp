#include "model/vars/var_bank.h"

#include "model/vars/var_types.h"

namespace qv {

namespace {
constexpr bool isAccessWidth(int width) { return width == 1 || width == 2 || width == 4 || width == 8; }
constexpr auto kRelaxed = std::memory_order_relaxed;
} // namespace

std::optional<std::uint64_t> VarBank::read(std::int64_t address, int width) const
{
    if (!isAccessWidth(width) || !isValidVarRange(address, width))
        return std::nullopt;
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | bytes_[static_cast<std::size_t>(address + i)].load(kRelaxed);
    return value;
}

bool VarBank::write(std::int64_t address, int width, std::uint64_t value)
{
    if (!isAccessWidth(width) || !isValidVarRange(address, width))
        return false;
    for (int i = 0; i < width; ++i, value >>= 8)
        bytes_[static_cast<std::size_t>(address + i)].store(static_cast<std::uint8_t>(value), kRelaxed);
    return true;
}

std::optional<std::uint8_t> VarBank::readByte(std::int64_t address) const
{
    const auto v = read(address, 1);
    return v ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*v)) : std::nullopt;
}

bool VarBank::writeByte(std::int64_t address, std::uint8_t value) { return write(address, 1, value); }

std::optional<std::int64_t> VarBank::readTyped(std::int64_t address, int typeCode) const
{
    const HmiVarType* type = hmiVarTypeByCode(typeCode);
    if (!type)
        return std::nullopt;
    const auto raw = read(address, type->width);
    if (!raw)
        return std::nullopt;
    const int bits = type->width * 8;
    std::int64_t value = static_cast<std::int64_t>(*raw);
    if (type->isSigned && (*raw >> (bits - 1)) != 0)
        value -= std::int64_t{1} << bits;
    return value;
}

bool VarBank::writeTyped(std::int64_t address, int typeCode, std::int64_t value)
{
    const HmiVarType* type = hmiVarTypeByCode(typeCode);
    return type && write(address, type->width, static_cast<std::uint64_t>(value));
}

bool VarBank::readBytes(std::int64_t address, std::span<std::uint8_t> out) const
{
    if (out.empty())
        return true;
    if (!isValidVarRange(address, static_cast<std::int64_t>(out.size())))
        return false;
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = bytes_[static_cast<std::size_t>(address) + i].load(kRelaxed);
    return true;
}

bool VarBank::writeBytes(std::int64_t address, std::span<const std::uint8_t> in)
{
    if (in.empty())
        return true;
    if (!isValidVarRange(address, static_cast<std::int64_t>(in.size())))
        return false;
    for (std::size_t i = 0; i < in.size(); ++i)
        bytes_[static_cast<std::size_t>(address) + i].store(in[i], kRelaxed);
    return true;
}

void VarBank::clear()
{
    for (auto& b : bytes_)
        b.store(0, kRelaxed);
}

void VarBank::copyFrom(const VarBank& other)
{
    for (std::size_t i = 0; i < bytes_.size(); ++i)
        bytes_[i].store(other.bytes_[i].load(kRelaxed), kRelaxed);
}

std::vector<std::uint8_t> VarBank::snapshot() const
{
    std::vector<std::uint8_t> out(bytes_.size());
    readBytes(0, out);
    return out;
}

} // namespace qv
