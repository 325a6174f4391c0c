#include "config/plcmap/plc_protocols.h"

#include <array>

namespace qv::plcmap {
namespace {

constexpr std::array<std::string_view, 1> kNone{"无"};
constexpr std::array<std::string_view, 5> kModbusTypes{"无", "线圈", "离散输入", "保持寄存器", "输入寄存器"};
constexpr std::array<std::string_view, 7> kXymdctTypes{"无", "X", "Y", "M", "D", "C", "T"};
constexpr std::array<std::string_view, 9> kS7Types{"无", "IB", "QB", "MB", "VB", "VW", "VD", "C", "T"};
constexpr std::array<std::string_view, 6> kOmronTypes{"无", "CIO", "W", "D", "C", "T"};

const std::array<PlcProtocolInfo, 6> kProtocols{{
    {3, "\\NandFlash\\ModbusMasterCom%d.mod", "Modbus", kModbusTypes, true},
    {5, "\\NandFlash\\MitsubishiFX2NCom%d.mod", "FX2N  ", kXymdctTypes, false},
    {6, "\\NandFlash\\SiemensS7-200PPICom%d.mod", "S7-PPI", kS7Types, true},
    {7, "\\NandFlash\\DeltaDVPCom%d.mod", "Delta ", kXymdctTypes, true},
    {9, "\\NandFlash\\FATEK_FB_SeriesCom%d.mod", "FAT_FB", kXymdctTypes, true},
    {10, "\\NandFlash\\OMRON_CJ_CS_CPCom%d.mod", "OMR_CJ", kOmronTypes, true},
}};

} // namespace

const PlcProtocolInfo* FindPlcProtocol(int protocol)
{
    for (const auto& p : kProtocols)
        if (p.protocol == protocol)
            return &p;
    return nullptr;
}

std::span<const std::string_view> ElementTypesOf(int protocol)
{
    const PlcProtocolInfo* p = FindPlcProtocol(protocol);
    return p ? p->elementTypes : std::span<const std::string_view>(kNone);
}

std::string DriverFileName(int protocol, int port)
{
    const PlcProtocolInfo* p = FindPlcProtocol(protocol);
    if (!p)
        return {};
    std::string name(p->fileFormat);
    // The format holds ASCII only, so the placeholder can be replaced by plain search.
    name.replace(name.find("%d"), 2, std::to_string(port));
    return name;
}

} // namespace qv::plcmap
