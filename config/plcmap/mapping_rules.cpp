#include "config/plcmap/mapping_rules.h"

#include <array>
#include <string_view>

#include <fmt/format.h>

#include "config/plcmap/plc_protocols.h"

namespace qv::plcmap {
namespace {

enum class Field { Number, Address };

// An element rule applies to types first..last of its protocol and asks the field to be a
// multiple of `multiple`.
struct ElementRule {
    int protocol;
    int first;
    int last;
    Field field;
    int multiple;
    std::string_view message;
};

constexpr int kAny = 255;

constexpr std::array<ElementRule, 16> kElementRules{{
    {3, 3, kAny, Field::Address, 2, "ModBus寄存器类型的元件对应的HMI变量起始地址必须是2的整数倍，比如0，2，4，....."},
    {5, 0, 2, Field::Number, 10, "PLC三菱FX系列X（输入）Y（输出）类型元件编号必须是10的整数倍，比如0，10，20，....."},
    {5, 3, 3, Field::Number, 8, "PLC三菱FX系列M（中间继电器）类型元件编号必须是8的整数倍，比如0，8，16，....."},
    {5, 4, kAny, Field::Address, 2, "PLC三菱FX系列D（寄存器）C（计数器）T（定时器）类型元件对应的HMI变量起始地址必须是2的整数倍，比如0，2，4，....."},
    {6, 5, 5, Field::Number, 2, "PLC西门子S7-200系列VW类型元件编号必须是2的整数倍，比如0，2，4，....."},
    {6, 5, 5, Field::Address, 2, "PLC西门子S7-200系列VW类型元件对应的HMI变量起始地址必须是2的整数倍，比如0，2，4，....."},
    {6, 6, 6, Field::Number, 4, "PLC西门子S7-200系列VD类型元件编号必须是4的整数倍，比如0，4，8，....."},
    {6, 6, 6, Field::Address, 4, "PLC西门子S7-200系列VD类型元件对应的HMI变量起始地址必须是4的整数倍，比如0，4，8，....."},
    {6, 7, kAny, Field::Address, 2, "PLC西门子S7-200系列C（计数器）T（定时器）类型元件对应的HMI变量起始地址必须是2的整数倍，比如0，2，4，....."},
    {7, 0, 2, Field::Number, 10, "台达DeltaDVP系列X（输入）Y（输出）类型元件编号必须是10的整数倍，比如0，10，20，....."},
    {7, 3, 3, Field::Number, 8, "台达DeltaDVP系列M（中间继电器）类型元件编号必须是8的整数倍，比如0，8，16，....."},
    {7, 4, kAny, Field::Address, 2, "台达DeltaDVP系列D（寄存器）C（计数器）T（定时器）类型元件对应的HMI变量起始地址必须是2的整数倍，比如0，2，4，....."},
    {9, 0, 2, Field::Number, 8, "FATEK_FB_Series系列X（输入）Y（输出）类型元件编号必须是8的整数倍，比如0，8，16，....."},
    {9, 3, 3, Field::Number, 8, "FATEK_FB_Series系列M（中间继电器）类型元件编号必须是8的整数倍，比如0，8，16，....."},
    {9, 4, kAny, Field::Address, 2, "FATEK_FB_Series系列D（寄存器）C（计数器）T（定时器）类型元件对应的HMI变量起始地址必须是2的整数倍，比如0，2，4，....."},
    {10, 0, kAny, Field::Address, 2, "OMRON_CJ_CS_CP系列元件对应的HMI变量起始地址必须是2的整数倍，比如0，2，4，....."},
}};

struct RangeRule {
    int MappingEdit::*field;
    int low;
    int high;
    std::string_view label;
};

// Field ranges of the edit dialog; the count field itself takes up to 65536, the limit of 60
// is the separate check below.
constexpr std::array<RangeRule, 8> kRanges{{
    {&MappingEdit::station, 0, 247, "PLC设备地址"},
    {&MappingEdit::elementNumber, 0, 65535, "元件编号"},
    {&MappingEdit::count, 1, 65536, "映射数量"},
    {&MappingEdit::hmiAddress, 0, 65535, "HMI变量地址"},
    {&MappingEdit::screen, 0, 255, "画面号"},
    {&MappingEdit::commDelayMs, 0, 1000, "通讯延时(豪秒)"},
    {&MappingEdit::timeoutMs, 0, 10000, "超时延时(豪秒)"},
    {&MappingEdit::ackDelayMs, 0, 1000, "Ack延时(豪秒)"},
}};

} // namespace

MappingEdit DefaultEdit(int protocol)
{
    MappingEdit e;
    e.ackDelayMs = protocol == 6 ? 30 : 0;
    return e;
}

std::optional<std::string> CheckEdit(int protocol, const MappingEdit& edit)
{
    for (const RangeRule& r : kRanges) {
        const int v = edit.*r.field;
        if (v < r.low || v > r.high)
            return fmt::format("{}: {} .. {}", r.label, r.low, r.high);
    }
    const auto types = ElementTypesOf(protocol);
    if (edit.elementType < 1 || static_cast<std::size_t>(edit.elementType) >= types.size())
        return std::string("元件类型");
    for (const ElementRule& r : kElementRules) {
        if (r.protocol != protocol || edit.elementType < r.first || edit.elementType > r.last)
            continue;
        const int value = r.field == Field::Number ? edit.elementNumber : edit.hmiAddress;
        if (value % r.multiple != 0)
            return std::string(r.message);
    }
    if (edit.count > kMaxCount)
        return std::string("影射数量不得大于60，大于60的可以拆分成几条分别影射!!!");
    return std::nullopt;
}

MappingRecord ToRecord(int protocol, int port, const MappingEdit& e)
{
    const PlcProtocolInfo* info = FindPlcProtocol(protocol);
    MappingRecord r;
    r.station = static_cast<std::uint8_t>(info && !info->usesStation ? 0 : e.station);
    r.elementType = static_cast<std::uint8_t>(e.elementType);
    r.elementNumber = static_cast<std::uint16_t>(e.elementNumber);
    r.count = static_cast<std::uint16_t>(e.count);
    r.hmiAddress = static_cast<std::uint16_t>(e.hmiAddress);
    r.screen = static_cast<std::uint8_t>(e.screen);
    r.port = static_cast<std::uint8_t>(port);
    r.commDelay5 = static_cast<std::uint8_t>(e.commDelayMs / 5);
    r.ackDelay5 = static_cast<std::uint8_t>(e.ackDelayMs / 5);
    r.timeout5 = static_cast<std::uint16_t>(e.timeoutMs / 5);
    r.flags = e.writeOnly ? 1 : 0;
    return r;
}

MappingEdit ToEdit(const MappingRecord& r)
{
    MappingEdit e;
    e.station = r.station;
    e.elementType = r.elementType;
    e.elementNumber = r.elementNumber;
    e.count = r.count;
    e.hmiAddress = r.hmiAddress;
    e.screen = r.screen;
    e.commDelayMs = r.commDelay5 * 5;
    e.timeoutMs = r.timeout5 * 5;
    e.ackDelayMs = r.ackDelay5 * 5;
    e.writeOnly = r.writeOnly();
    return e;
}

} // namespace qv::plcmap
