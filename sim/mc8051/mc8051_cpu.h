#pragma once
// The 8051 core of the simulator: registers, the flat 256-byte internal RAM, the 64 KiB code
// image and the variable memory as external data. One call of step() runs one instruction.
// Every address is a byte or a 16-bit word, so code, internal RAM and external data accesses
// cannot leave their memories; external data goes through the bank's checked accessor.
#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "compiler/hex/intel_hex.h"

namespace qv {
class VarBank;
}

namespace qv::sim {

using CodeImage = hex::CodeImage;

// Special-function register bytes the emulator gives a meaning to.
namespace sfr {
inline constexpr std::uint8_t SP = 0x81;
inline constexpr std::uint8_t DPL = 0x82;
inline constexpr std::uint8_t DPH = 0x83;
inline constexpr std::uint8_t SBUF = 0x99;   // byte of the serial interrupt
inline constexpr std::uint8_t COMNUM = 0x9A; // its port (1 or 2)
inline constexpr std::uint8_t IE = 0xA8;
inline constexpr std::uint8_t CmdAdr = 0xC0; // service request block 0xC0..0xCF
inline constexpr std::uint8_t PSW = 0xD0;
inline constexpr std::uint8_t ACC = 0xE0;
inline constexpr std::uint8_t B = 0xF0;
} // namespace sfr

namespace pswbit {
inline constexpr std::uint8_t CY = 0x80;
inline constexpr std::uint8_t AC = 0x40;
inline constexpr std::uint8_t OV = 0x04;
inline constexpr std::uint8_t P = 0x01;
} // namespace pswbit

inline constexpr std::uint16_t kTimer0Vector = 0x000B;
inline constexpr std::uint16_t kSerialVector = 0x0023;

class Mc8051Cpu {
public:
    // `xdataDirty`, when given, is set to 1 by every MOVX write.
    Mc8051Cpu(VarBank& xdata, std::atomic<int>* xdataDirty = nullptr);
    Mc8051Cpu(const Mc8051Cpu&) = delete;
    Mc8051Cpu& operator=(const Mc8051Cpu&) = delete;

    // Code memory: a whole image, or a plain binary copied from address 0 with the rest 0xFF.
    // A binary over 64 KiB is refused (false) and the code memory is left as it was.
    void loadCode(const CodeImage& image) { code_ = image; }
    bool loadPlainImage(std::span<const std::uint8_t> bytes);
    std::uint8_t codeByte(std::uint16_t address) const { return code_[address]; }

    // The start of a run: SBUF 6, SP 7, PSW 0, IE 0, CmdAdr 0, PC 0, no interrupt in
    // progress. Other RAM bytes keep what an earlier run left.
    void resetForRun();
    // Internal RAM cleared too (a fresh program).
    void powerOn();

    // Runs the instruction at PC.
    void step();

    // Internal RAM (direct and indirect addresses reach the same 256 bytes). Relaxed atomics:
    // the view's timer and the serial path read IE from other threads.
    std::uint8_t ram(std::uint8_t address) const { return iram_[address].load(std::memory_order_relaxed); }
    void setRam(std::uint8_t address, std::uint8_t value) { iram_[address].store(value, std::memory_order_relaxed); }

    std::uint8_t acc() const { return ram(sfr::ACC); }
    void setAcc(std::uint8_t value) { setRam(sfr::ACC, value); }
    std::uint8_t psw() const { return ram(sfr::PSW); }
    bool flag(std::uint8_t mask) const { return (psw() & mask) != 0; }
    void setFlag(std::uint8_t mask, bool on) { setRam(sfr::PSW, on ? (psw() | mask) : (psw() & ~mask)); }
    std::uint16_t dptr() const { return static_cast<std::uint16_t>(ram(sfr::DPH) << 8 | ram(sfr::DPL)); }
    void setDptr(std::uint16_t value);
    // Address of working register Rn of the bank PSW selects.
    std::uint8_t regAddress(int n) const { return static_cast<std::uint8_t>((psw() & 0x18) + (n & 7)); }
    std::uint8_t reg(int n) const { return ram(regAddress(n)); }

    bool bit(std::uint8_t bitAddress) const;
    void setBit(std::uint8_t bitAddress, bool on);

    std::uint8_t readXdata(std::uint16_t address) const;
    void writeXdata(std::uint16_t address, std::uint8_t value);

    void push(std::uint8_t value);
    std::uint8_t pop();
    void pushPc(); // low byte first
    void popPc();
    // Pushes PC, marks the interrupt in progress and jumps to `vector`.
    void enterInterrupt(std::uint16_t vector);

    // CY, AC and OV of ACC + operand + carry / ACC - operand - borrow; no other bit, no store.
    void setFlagsAdd(std::uint8_t operand, bool carryIn);
    void setFlagsSubb(std::uint8_t operand, bool borrowIn);

    std::uint16_t pc = 0;
    bool inInterrupt = false;
    std::uint64_t cycles = 0; // machine cycles of the executed instructions (statistics)
    std::uint64_t instructions = 0;

private:
    CodeImage code_{};
    std::array<std::atomic<std::uint8_t>, 256> iram_{};
    VarBank& xdata_;
    std::atomic<int>* xdataDirty_;
};

} // namespace qv::sim
