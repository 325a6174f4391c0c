#pragma once
// What one panel service request hands its routine: the live variable memory the program
// sees as M, the request block CmdAdr..CmdAdr15 (internal RAM 0xC0..0xCF) to read the
// parameters from and write the result into, and whether memory the display shows changed.
#include "model/vars/var_bank.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace qv::sim {

class Mc8051Cpu;

inline constexpr std::uint8_t kRequestBlock = 0xC0; // CmdAdr
inline constexpr std::size_t kRequestBlockSize = 16;

struct PanelServiceCall {
    VarBank& memory;
    std::array<std::uint8_t, kRequestBlockSize> regs{}; // regs[n] is CmdAdr<n> (0xC0 + n)
    bool dirty = false;

    std::uint8_t SubCode() const { return regs[1]; }
    void SetResult(std::uint8_t value) { regs[1] = value; }
    std::uint16_t P1() const { return static_cast<std::uint16_t>(regs[2] | regs[3] << 8); }
    std::uint16_t P2() const { return static_cast<std::uint16_t>(regs[4] | regs[5] << 8); }
    std::uint16_t P3() const { return static_cast<std::uint16_t>(regs[6] | regs[7] << 8); }

    // The NUL-terminated text at `address` (NUL not included), at most `maxLength` bytes
    // before the NUL; nullopt when no NUL comes within that or before the bank's end.
    std::optional<std::string> TextAt(std::uint16_t address, std::size_t maxLength = 0x10000) const;
    // Writes the text back at `address` (same length, no NUL).
    void StoreTextAt(std::uint16_t address, const std::string& text);

    // Reads CmdAdr..CmdAdr15 from the CPU; WriteResultTo stores CmdAdr1, the result byte.
    static PanelServiceCall FromCpu(const Mc8051Cpu& cpu, VarBank& memory);
    void WriteResultTo(Mc8051Cpu& cpu) const;
};

} // namespace qv::sim
