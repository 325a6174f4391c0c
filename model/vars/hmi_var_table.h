#pragma once
// Look-ups over the project's variable table (the five columns of the project document):
// row index to address and type, the end of the used memory, find-or-add by name.
#include "model/document/draw_doc.h"
#include "model/params/var_refs.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// A decimal integer with optional sign and surrounding blanks; nullopt for anything else
// (the table's texts are typed by users and read from files).
std::optional<std::int64_t> parseDecimal(std::string_view text);

// Address and type of a row: address -1 and type 0 for an index outside the table; an
// address text that is no number gives -1 too (unbound, never address 0 by accident); a
// type text that is none of the six gives type nullopt (the caller keeps its cached type).
VarBinding varBindingOf(const HmiVarTable& table, std::int64_t row);

// Address and width (by the row's type) of a bound row; nullopt for an unbound row, an
// address that is no number or lies outside the 32-bit range, or an unknown type.
std::optional<VarExtent> varExtentOf(const HmiVarTable& table, std::int64_t row);

// The largest (address + 4) over all rows, rounded up to a multiple of 4 (0 when empty).
// Addresses beyond the 32-bit range count as its edge, so the table reads as full.
std::int64_t varTableEnd(const HmiVarTable& table);

// Index of the first row named `name` exactly, or nullopt.
std::optional<int> findVarRow(const HmiVarTable& table, std::string_view name);

struct AddVarOutcome {
    int row = -1;          // -1 when refused
    bool created = false;
    std::string errorGbk;  // why it was refused
};

// The row named `name`, else a new row at address `memorySize / 2` (the used memory as
// GetVariableMemorySize gives it). Refused, with the table unchanged, when the variable
// would not fit in the 64 KiB memory or the type is none of the six.
AddVarOutcome findOrAddVarRow(HmiVarTable& table, std::string_view type, std::string_view name,
                              std::string_view initial, std::string_view description, std::int64_t memorySize);

} // namespace qv
