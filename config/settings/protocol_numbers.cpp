#include "config/settings/protocol_numbers.h"

#include <array>

namespace qv::protocol {
namespace {

constexpr std::array<ProtocolInfo, 15> kProtocols{{
    {Free, "自由协议（用户自定义）", false, false, false},
    {PanelBinary, "Velmora单片机协议", false, false, true},
    {ResistiveTouch, "Velmora电阻触摸屏协议", false, true, false},
    {ModbusMaster, "Modbus RTU Master", true, false, true},
    {I2C, "I2C协议", false, false, true},
    {MitsubishiFx, "Mitsubishi FX0n/FX2(三菱 PLC)", true, false, true},
    {SiemensPpi, "Siemens S7-200 Series(西门子 PPI)", true, false, true},
    {DeltaDvp, "台达Delta DVP系列", true, false, true},
    {ModbusSlave, "Modbus RTU Slave(从机)", false, false, true},
    {FatekFb, "FATEK_FB_Series    ", true, false, true},
    {OmronCj, "OMRON_CJ_CS_CP     ", true, false, true},
    {CapacitiveTouch, "Velmora电容触摸屏协议", false, true, false},
    {HmiVarCopy, "HMI变量拷贝协议", false, false, true},
    {CustomTouch1, "订制触摸屏协议一", false, true, false},
    {SerialForward, "串口转发协议", false, false, true},
}};

} // namespace

std::span<const ProtocolInfo> AllProtocols() { return kProtocols; }

const ProtocolInfo* FindProtocol(int number)
{
    return number >= 0 && static_cast<std::size_t>(number) < kProtocols.size() ? &kProtocols[static_cast<std::size_t>(number)]
                                                                                  : nullptr;
}

bool IsPlcMaster(int number)
{
    const ProtocolInfo* p = FindProtocol(number);
    return p && p->plcMaster;
}

bool IsTouch(int number)
{
    const ProtocolInfo* p = FindProtocol(number);
    return p && p->touch;
}

bool HasLengthSettings(int number)
{
    const ProtocolInfo* p = FindProtocol(number);
    return !p || p->hasLength;
}

} // namespace qv::protocol
