#include "sim/mc8051/mc8051_cpu.h"

#include <algorithm>
#include <bit>

#include "model/vars/var_bank.h"
#include "sim/mc8051/mc8051_opcodes.h"

namespace qv::sim {
namespace {

std::uint8_t bitByteAddress(std::uint8_t bitAddress)
{
    return bitAddress < 0x80 ? static_cast<std::uint8_t>(0x20 + (bitAddress >> 3))
                             : static_cast<std::uint8_t>(bitAddress & 0xF8);
}

} // namespace

Mc8051Cpu::Mc8051Cpu(VarBank& xdata, std::atomic<int>* xdataDirty)
    : xdata_(xdata), xdataDirty_(xdataDirty)
{
    code_.fill(0xFF);
}

bool Mc8051Cpu::loadPlainImage(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > code_.size())
        return false;
    code_.fill(0xFF);
    std::copy(bytes.begin(), bytes.end(), code_.begin());
    return true;
}

void Mc8051Cpu::resetForRun()
{
    setRam(sfr::SBUF, 6);
    setRam(sfr::SP, 7);
    setRam(sfr::PSW, 0);
    setRam(sfr::IE, 0);
    setRam(sfr::CmdAdr, 0);
    pc = 0;
    inInterrupt = false;
}

void Mc8051Cpu::powerOn()
{
    for (auto& byte : iram_)
        byte.store(0, std::memory_order_relaxed);
    cycles = 0;
    instructions = 0;
    resetForRun();
}

void Mc8051Cpu::step()
{
    const OpcodeInfo& info = opcodeTable()[code_[pc]];
    const std::uint8_t op = code_[pc];
    const std::uint8_t a1 = code_[static_cast<std::uint16_t>(pc + 1)];
    const std::uint8_t a2 = code_[static_cast<std::uint16_t>(pc + 2)];
    pc = static_cast<std::uint16_t>(pc + info.length);
    info.run(*this, op, a1, a2);
    // P always shows the parity of ACC, as on the chip, so code that tests it sees the truth.
    setFlag(pswbit::P, std::popcount(acc()) & 1);
    cycles += info.cycles;
    ++instructions;
}

void Mc8051Cpu::setDptr(std::uint16_t value)
{
    setRam(sfr::DPL, static_cast<std::uint8_t>(value));
    setRam(sfr::DPH, static_cast<std::uint8_t>(value >> 8));
}

bool Mc8051Cpu::bit(std::uint8_t bitAddress) const
{
    return (ram(bitByteAddress(bitAddress)) >> (bitAddress & 7)) & 1;
}

void Mc8051Cpu::setBit(std::uint8_t bitAddress, bool on)
{
    const std::uint8_t address = bitByteAddress(bitAddress);
    const std::uint8_t mask = static_cast<std::uint8_t>(1u << (bitAddress & 7));
    setRam(address, static_cast<std::uint8_t>(on ? (ram(address) | mask) : (ram(address) & ~mask)));
}

std::uint8_t Mc8051Cpu::readXdata(std::uint16_t address) const
{
    return xdata_.readByte(address).value_or(0xFF);
}

void Mc8051Cpu::writeXdata(std::uint16_t address, std::uint8_t value)
{
    xdata_.writeByte(address, value);
    if (xdataDirty_)
        xdataDirty_->store(1, std::memory_order_relaxed);
}

void Mc8051Cpu::push(std::uint8_t value)
{
    const auto sp = static_cast<std::uint8_t>(ram(sfr::SP) + 1);
    setRam(sfr::SP, sp);
    setRam(sp, value);
}

std::uint8_t Mc8051Cpu::pop()
{
    const std::uint8_t sp = ram(sfr::SP);
    const std::uint8_t value = ram(sp);
    setRam(sfr::SP, static_cast<std::uint8_t>(sp - 1));
    return value;
}

void Mc8051Cpu::pushPc()
{
    push(static_cast<std::uint8_t>(pc));
    push(static_cast<std::uint8_t>(pc >> 8));
}

void Mc8051Cpu::popPc()
{
    const std::uint8_t high = pop();
    const std::uint8_t low = pop();
    pc = static_cast<std::uint16_t>(high << 8 | low);
}

void Mc8051Cpu::enterInterrupt(std::uint16_t vector)
{
    pushPc();
    inInterrupt = true;
    pc = vector;
}

void Mc8051Cpu::setFlagsAdd(std::uint8_t operand, bool carryIn)
{
    const unsigned a = acc();
    const unsigned c = carryIn ? 1 : 0;
    const bool carry7 = a + operand + c > 0xFF;
    const bool carry6 = (a & 0x7F) + (operand & 0x7F) + c > 0x7F;
    setFlag(pswbit::CY, carry7);
    setFlag(pswbit::AC, (a & 0x0F) + (operand & 0x0F) + c > 0x0F);
    setFlag(pswbit::OV, carry6 != carry7);
}

void Mc8051Cpu::setFlagsSubb(std::uint8_t operand, bool borrowIn)
{
    const unsigned a = acc();
    const unsigned b = borrowIn ? 1 : 0;
    const bool borrow7 = a < operand + b;
    const bool borrow6 = (a & 0x7F) < (operand & 0x7F) + b;
    setFlag(pswbit::CY, borrow7);
    setFlag(pswbit::AC, (a & 0x0F) < (operand & 0x0F) + b);
    setFlag(pswbit::OV, borrow6 != borrow7);
}

} // namespace qv::sim
