#pragma once
// The instruction set as data: one entry per opcode with its length in bytes, its machine
// cycles and its mnemonic. Only the tests read it, as an account of the instruction set
// written apart from the loop (mc8051_execute.cpp) that runs the instructions.
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
