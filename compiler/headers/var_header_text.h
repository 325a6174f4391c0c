#pragma once
// The texts of the three C headers the user's 8051 code includes, made from the project's
// variable table: "SysVar.h" (register definitions, memory access macros, one address
// macro per variable, the first free user address), "HmiVar.h" (the address macros alone)
// and "HmiVarStruct.h" (a structure laid over the variables in table order). Exact bytes:
// GBK, CR LF line ends, columns counted in bytes.
#include <cstdint>
#include <string>

namespace qv {

struct HmiVarTable;

// `userAddress` is the first free byte of the variable memory (the "m_UserAdr" macro); the
// text has no line end after it.
std::string SysVarHeaderText(const HmiVarTable& table, std::int64_t userAddress);
std::string HmiVarHeaderText(const HmiVarTable& table);
std::string HmiVarStructHeaderText(const HmiVarTable& table);

} // namespace qv
