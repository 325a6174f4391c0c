#pragma once
// The instruction set as data: one entry per opcode with its length in bytes, its machine
// cycles, its mnemonic and the routine that runs it.
#include <array>
#include <cstdint>

namespace qv::sim {

class Mc8051Cpu;

// Runs one instruction. PC already points past it; `a1` and `a2` are the two bytes after the
// opcode (whether the instruction uses them or not).
using OpcodeHandler = void (*)(Mc8051Cpu& cpu, std::uint8_t op, std::uint8_t a1, std::uint8_t a2);

struct OpcodeInfo {
    std::uint8_t length = 1;
    std::uint8_t cycles = 1;
    const char* mnemonic = "";
    OpcodeHandler run = nullptr;
};

const std::array<OpcodeInfo, 256>& opcodeTable();

} // namespace qv::sim
