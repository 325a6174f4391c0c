#pragma once
// Where each kind of control keeps its HMI variable references in its 1024-byte parameter
// block, and the upkeep of those references: the index is the truth, the cached address and
// type are re-derived from it whenever the table or the binding changes.
#include "model/params/param_field.h"
#include "model/shape/shape_kind.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace qv {

inline constexpr int kNoField = -1;

// One reference of a kind: byte offsets of the index (32-bit signed, -1 = none), the cached
// address (32-bit, -1 = unset) and the cached type code (byte); kNoField where not kept.
struct VarRefField {
    std::string_view role;  // "value", "hide", ... (for messages and tests)
    int index;
    int address;
    int type;
};

// A reference from a kind's named fields (model/params/blocks/).
template <class IndexKind, class AddressKind, class TypeKind>
constexpr VarRefField varRef(std::string_view role, ParamField<std::int32_t, IndexKind> index,
                             ParamField<std::int32_t, AddressKind> address, ParamField<std::uint8_t, TypeKind> type)
{
    return {role, index.offset, address.offset, type.offset};
}

// The fixed references of a kind (curve records not included); empty for kinds without any.
std::span<const VarRefField> fixedVarRefs(ShapeKind kind);

// Every reference of the object, curve records included (count clamped, records that do not
// fit the block left out).
std::vector<VarRefField> varRefsOf(ShapeKind kind, std::span<const std::uint8_t> block);

// The curve's record count as the block holds it, clamped to 0..blocks::curve::kMaxRecords.
int curveRecordCount(std::span<const std::uint8_t> block);

// What the variable table says of a row: address -1 and type 0 for an index outside the
// table; type nullopt when the row's type text is none of the six (the cached type is kept).
struct VarBinding {
    std::int32_t address = -1;
    std::optional<std::uint8_t> type = 0;
};
using VarResolver = std::function<VarBinding(std::int32_t index)>;

bool isBindingValid(ShapeKind kind, std::span<const std::uint8_t> block);

// Re-derives the cached address and type of every reference from its index.
void refreshVarRefs(ShapeKind kind, std::span<std::uint8_t> block, const VarResolver& resolve);

// Index upkeep after a change of the table; each ends with refreshVarRefs. -1 never changes.
void renumberAfterVarDelete(ShapeKind kind, std::span<std::uint8_t> block, std::int32_t row, const VarResolver& resolve);
void renumberAfterVarSwap(ShapeKind kind, std::span<std::uint8_t> block, std::int32_t row, const VarResolver& resolve);
void renumberAfterVarMove(ShapeKind kind, std::span<std::uint8_t> block, std::int32_t source, std::int32_t target,
                          const VarResolver& resolve);
void clearVarRefs(ShapeKind kind, std::span<std::uint8_t> block, const VarResolver& resolve);

// The pure index rules, shared with the project's own system-variable slots.
std::int32_t indexAfterDelete(std::int32_t index, std::int32_t row);
std::int32_t indexAfterSwap(std::int32_t index, std::int32_t row);
std::int32_t indexAfterMove(std::int32_t index, std::int32_t source, std::int32_t target);

// Highest end address of the buffers a curve (records x sample count) or a character control
// (string start + length) uses; nullopt when the object has none.
// Panel addresses are 32-bit; a wider one (from a hand-edited table) is held at the edge of
// that range, so sums over it cannot overflow and still land far past the memory's end.
inline std::int64_t clampToPanelAddress(std::int64_t address)
{
    return address < INT32_MIN ? INT32_MIN : address > INT32_MAX ? INT32_MAX : address;
}

struct VarExtent {
    std::int64_t address;
    int width;  // type width (1, 2, 4)
};
using VarExtentResolver = std::function<std::optional<VarExtent>(std::int32_t index)>;
std::optional<std::int64_t> curveAddressEnd(ShapeKind kind, std::span<const std::uint8_t> block, const VarExtentResolver& resolve);
std::optional<std::int64_t> stringAddressEnd(ShapeKind kind, std::span<const std::uint8_t> block, const VarExtentResolver& resolve);

// Raises sizes[i] to the bytes the object needs of variable i where it needs more than one
// element: a dynamic picture looking up user-area pictures by file name (16-byte name), a
// curve's records (type width x samples), a character control's string (type width x
// length). Indices outside `sizes` are ignored.
using VarWidthResolver = std::function<int(std::int32_t index)>;
void collectVarSizes(ShapeKind kind, std::span<const std::uint8_t> block, std::span<unsigned> sizes, const VarWidthResolver& widthOf);

} // namespace qv
