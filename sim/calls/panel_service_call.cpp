#include "sim/calls/panel_service_call.h"

#include "sim/mc8051/mc8051_cpu.h"

namespace qv::sim {

std::optional<std::string> PanelServiceCall::TextAt(std::uint16_t address, std::size_t maxLength) const
{
    std::string text;
    for (std::int64_t at = address; at < kVarMemSize && text.size() <= maxLength; ++at) {
        const auto byte = memory.readByte(at);
        if (!byte)
            break;
        if (*byte == 0)
            return text;
        text.push_back(static_cast<char>(*byte));
    }
    return std::nullopt;
}

void PanelServiceCall::StoreTextAt(std::uint16_t address, const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        memory.writeByte(std::int64_t{address} + static_cast<std::int64_t>(i), static_cast<std::uint8_t>(text[i]));
}

PanelServiceCall PanelServiceCall::FromCpu(const Mc8051Cpu& cpu, VarBank& memory)
{
    PanelServiceCall call{memory};
    for (std::size_t i = 0; i < kRequestBlockSize; ++i)
        call.regs[i] = cpu.ram(static_cast<std::uint8_t>(kRequestBlock + i));
    return call;
}

void PanelServiceCall::WriteResultTo(Mc8051Cpu& cpu) const
{
    cpu.setRam(kRequestBlock + 1, regs[1]);
}

} // namespace qv::sim
