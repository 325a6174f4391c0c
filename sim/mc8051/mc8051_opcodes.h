#pragma once
// The instruction set as data: one entry per opcode with its length in bytes, its machine
// cycles and its mnemonic (listings, tests). The CPU's one switch runs the instructions.
#include <array>
#include <cstdint>

namespace qv::sim {

struct OpcodeInfo {
    std::uint8_t length = 0;
    std::uint8_t cycles = 0;
    const char* mnemonic = "";
};

const std::array<OpcodeInfo, 256>& opcodeTable();

} // namespace qv::sim
