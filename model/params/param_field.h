#pragma once
// One field of a control's parameter block: where it lies and what it holds. Each kind's
// layout (model/params/blocks/) declares its fields once; the item compilers, the painters,
// the run time and the property pages reach those bytes only through them. Fields are
// little-endian; one that does not fit in the block reads as 0 and is not written.
#include "model/params/block_bytes.h"

#include <cstdint>
#include <span>
#include <type_traits>

namespace qv {

// `Kind` is a tag type of the kind whose layout declares the field (void for fields every
// block shares), so one kind's field cannot be read through another kind's view.
template <class T, class Kind = void>
struct ParamField {
    static_assert(std::is_integral_v<T> && sizeof(T) <= 4, "block fields are 8, 16 or 32-bit integers");
    using value_type = T;
    static constexpr int width = static_cast<int>(sizeof(T));
    int offset;
    constexpr int end() const { return offset + width; }
};

template <class T, class Kind>
T paramGet(std::span<const std::uint8_t> block, ParamField<T, Kind> f)
{
    return static_cast<T>(blockReadU(block, f.offset, f.width));
}

template <class T, class Kind>
void paramSet(std::span<std::uint8_t> block, ParamField<T, Kind> f, std::type_identity_t<T> value)
{
    blockWriteU(block, f.offset, f.width, static_cast<std::uint32_t>(value));
}

// The low byte of a wider field (fields are little-endian, so it lies at the same offset),
// for the rooms that read or write that byte alone.
template <class T, class Kind>
constexpr ParamField<std::uint8_t, Kind> lowByte(ParamField<T, Kind> f)
{
    return {f.offset};
}

// One kind's view of a block: `NumberBlock{obj.m_Params}.get(number::kMinimum)`; a view over
// mutable bytes also sets. It takes that kind's fields and the shared ones.
template <class Kind, class Byte = const std::uint8_t>
class ParamView {
public:
    explicit ParamView(std::span<Byte> block) : block_(block) {}
    template <class T>
    T get(ParamField<T, Kind> f) const { return paramGet(std::span<const std::uint8_t>(block_), f); }
    template <class T>
    T get(ParamField<T, void> f) const { return paramGet(std::span<const std::uint8_t>(block_), f); }
    template <class T>
    void set(ParamField<T, Kind> f, std::type_identity_t<T> value) const
        requires(!std::is_const_v<Byte>)
    {
        paramSet(block_, f, value);
    }
    template <class T>
    void set(ParamField<T, void> f, std::type_identity_t<T> value) const
        requires(!std::is_const_v<Byte>)
    {
        paramSet(block_, f, value);
    }
    std::span<Byte> bytes() const { return block_; }

private:
    std::span<Byte> block_;
};

} // namespace qv
