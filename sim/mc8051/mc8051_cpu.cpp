#include "sim/mc8051/mc8051_cpu.h"

#include <algorithm>

#include "model/vars/var_bank.h"

namespace qv::sim {

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
    iram_.fill(0);
    ie_.store(0, std::memory_order_relaxed);
    instructions = 0;
    resetForRun();
}

void Mc8051Cpu::enterInterrupt(std::uint16_t vector)
{
    pushPc();
    inInterrupt = true;
    pc = vector;
}

} // namespace qv::sim
