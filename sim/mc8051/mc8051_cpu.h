#pragma once
// The 8051 core of the simulator: registers, the flat 256-byte internal RAM, the 64 KiB code
// image and the variable memory as external data. One call of step() runs one instruction;
// runFor() runs many while nothing asks for the loop's attention.
// Every address is a byte or a 16-bit word, so code, internal RAM and external data accesses
// cannot leave their memories.
#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "compiler/hex/intel_hex.h"
#include "model/vars/var_bank.h"

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

namespace iebit {
inline constexpr std::uint8_t Timer0 = 0x82; // EA + ET0
inline constexpr std::uint8_t Serial = 0x90; // EA + ES
} // namespace iebit

inline constexpr std::uint16_t kTimer0Vector = 0x000B;
inline constexpr std::uint16_t kSerialVector = 0x0023;

// What may end a run of instructions early: the stop request, the timer-0 tick count and the
// serial ring's pending count (each read relaxed; none may be null).
struct Mc8051Watch {
    const std::atomic<int>* stop;
    const std::atomic<int>* timer0;
    const std::atomic<int>* serial;
};

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
    // Runs the instruction at PC, then more while fewer than `budget` have run and nothing
    // needs the loop: no service request in CmdAdr, no stop request, no tick or serial pair
    // that an enabled interrupt could take now. Returns the number run (at least 1). While
    // the watch reads 0 it is read again after every 128 instructions, so a tick or byte
    // that another thread raises meanwhile is taken up to 128 instructions later.
    std::uint32_t runFor(std::uint32_t budget, const Mc8051Watch& watch);

    // Internal RAM (direct and indirect addresses reach the same 256 bytes), owned by the
    // thread that runs the CPU. ram() gives the stored byte; readDirect() is what an
    // instruction sees (PSW with P, the parity of ACC).
    std::uint8_t ram(std::uint8_t address) const { return iram_[address]; }
    void setRam(std::uint8_t address, std::uint8_t value)
    {
        iram_[address] = value;
        if (address == sfr::IE)
            ie_.store(value, std::memory_order_relaxed);
    }
    // IE for other threads (the view's timer, the serial receive path).
    std::uint8_t interruptEnable() const { return ie_.load(std::memory_order_relaxed); }
    std::uint8_t readDirect(std::uint8_t address) const { return address == sfr::PSW ? psw() : ram(address); }

    std::uint8_t acc() const { return ram(sfr::ACC); }
    void setAcc(std::uint8_t value) { setRam(sfr::ACC, value); }
    // PSW as the program reads it: P is worked out from ACC here, not after every instruction.
    std::uint8_t psw() const { return static_cast<std::uint8_t>((ram(sfr::PSW) & ~pswbit::P) | parity(acc())); }
    std::uint16_t dptr() const { return static_cast<std::uint16_t>(ram(sfr::DPH) << 8 | ram(sfr::DPL)); }
    void setDptr(std::uint16_t value)
    {
        iram_[sfr::DPL] = static_cast<std::uint8_t>(value);
        iram_[sfr::DPH] = static_cast<std::uint8_t>(value >> 8);
    }
    // Address of working register Rn of the bank PSW selects.
    std::uint8_t regAddress(int n) const { return static_cast<std::uint8_t>((ram(sfr::PSW) & 0x18) + (n & 7)); }
    std::uint8_t reg(int n) const { return ram(regAddress(n)); }

    // External data: the variable bank; a 16-bit address never leaves it.
    std::uint8_t readXdata(std::uint16_t address) const { return xdata_.byteAt(address); }
    void writeXdata(std::uint16_t address, std::uint8_t value)
    {
        xdata_.setByteAt(address, value);
        if (xdataDirty_)
            xdataDirty_->store(1, std::memory_order_relaxed);
    }

    // SP moves first, then the byte is stored; SP wraps within the 256 bytes.
    void push(std::uint8_t value)
    {
        const auto sp = static_cast<std::uint8_t>(ram(sfr::SP) + 1);
        iram_[sfr::SP] = sp;
        setRam(sp, value);
    }
    std::uint8_t pop()
    {
        const std::uint8_t sp = ram(sfr::SP);
        const std::uint8_t value = ram(sp);
        iram_[sfr::SP] = static_cast<std::uint8_t>(sp - 1);
        return value;
    }
    void pushPc() // low byte first
    {
        push(static_cast<std::uint8_t>(pc));
        push(static_cast<std::uint8_t>(pc >> 8));
    }
    void popPc()
    {
        const std::uint8_t high = pop();
        const std::uint8_t low = pop();
        pc = static_cast<std::uint16_t>(high << 8 | low);
    }
    // Pushes PC, marks the interrupt in progress and jumps to `vector`.
    void enterInterrupt(std::uint16_t vector);

    std::uint16_t pc = 0;
    bool inInterrupt = false;
    std::uint64_t instructions = 0; // executed instructions (statistics)

    static std::uint8_t parity(std::uint8_t value)
    {
        value ^= static_cast<std::uint8_t>(value >> 4);
        return static_cast<std::uint8_t>((0x6996 >> (value & 0x0F)) & 1);
    }

private:
    bool needsLoop(int stop, int ticks, int pairs) const;

    CodeImage code_{};
    std::array<std::uint8_t, 256> iram_{};
    std::atomic<std::uint8_t> ie_{0};
    VarBank& xdata_;
    std::atomic<int>* xdataDirty_;
};

} // namespace qv::sim
