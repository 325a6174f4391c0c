#pragma once
// A service request of the user's 8051 program as its routine sees it: the request block in
// internal RAM (CmdAdr .. CmdAdr15, 16-bit words little-endian) and the live variable bank,
// reached only through its checked accessor.
#include <cstdint>
#include <optional>
#include <string>

#include "model/vars/var_bank.h"
#include "sim/mc8051/mc8051_cpu.h"

namespace qv::sim {

class Mc8051Request {
public:
    Mc8051Request(Mc8051Cpu& cpu, VarBank& bank) : cpu_(cpu), bank_(bank) {}

    std::uint8_t code() const { return cpu_.ram(sfr::CmdAdr); }
    // 0xC1: sub-code or first parameter; most results go back here.
    std::uint8_t c1() const { return cpu_.ram(0xC1); }
    void setC1(std::uint8_t value) { cpu_.setRam(0xC1, value); }
    std::uint8_t byte(std::uint8_t address) const { return cpu_.ram(address); }
    std::uint16_t word(std::uint8_t lowAddress) const
    {
        return static_cast<std::uint16_t>(cpu_.ram(lowAddress) | cpu_.ram(static_cast<std::uint8_t>(lowAddress + 1)) << 8);
    }
    std::uint16_t p1() const { return word(0xC2); }
    std::uint16_t p2() const { return word(0xC4); }
    std::uint16_t p3() const { return word(0xC6); }
    // The 32-bit parameter L at 0xC4..0xC7.
    std::uint32_t l() const { return static_cast<std::uint32_t>(word(0xC4) | std::uint32_t{word(0xC6)} << 16); }
    void setL(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            cpu_.setRam(static_cast<std::uint8_t>(0xC4 + i), static_cast<std::uint8_t>(value >> (8 * i)));
    }

    VarBank& bank() { return bank_; }
    Mc8051Cpu& cpu() { return cpu_; }

    // The NUL-terminated text at `address`, without its NUL; nullopt when no NUL comes
    // within `maxLength` bytes or before the bank's end.
    std::optional<std::string> text(std::uint16_t address, std::size_t maxLength = 0x10000) const;

private:
    Mc8051Cpu& cpu_;
    VarBank& bank_;
};

} // namespace qv::sim
