#include "sim/plc/request_registration.h"

#include "model/params/block_bytes.h"
#include "sim/plc/protocol_drivers.h"
#include "sim/plc/protocols/modbus_pdu.h"
#include "vars/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace qv::protocol;

enum class Req { Word, Bit };
constexpr int kNone = -1;

// One linkable reference of a kind: its variable index, its 16-byte link setting at `link`,
// the option byte that switches it on, the move count selector, and the write flag.
struct RequestRef {
    int kind;
    int varIndex;
    int link;
    Req request;
    int option = kNone;
    int countSelector = kNone;
    bool writeFlag = false;
};

constexpr RequestRef kRequestRefs[] = {
    {7, 128, 228, Req::Word},
    {7, 172, 248, Req::Bit, 126},
    {7, 216, 276, Req::Bit, 212},
    {8, 64, 100, Req::Word},
    {8, 80, 120, Req::Word, 76, 140},
    {8, 84, 144, Req::Bit, 77},
    {9, 84, 208, Req::Word},
    {9, 252, 232, Req::Word, 228, kNone, true},
    {9, 148, 264, Req::Word, 144},
    {9, 164, 288, Req::Word, 160},
    {9, 112, 336, Req::Bit, 107},
    {9, 180, 364, Req::Bit, 176},
    {9, 108, 312, Req::Word, 106, 332},
    {11, 860, 892, Req::Bit, 853},
    {12, 16, 56, Req::Bit},
    {12, 32, 76, Req::Bit, 27},
    {20, 16, 76, Req::Bit},
    {20, 120, 100, Req::Bit, 96, kNone, true},
    {20, 36, 136, Req::Bit, 30},
    {20, 56, 164, Req::Bit, 52},
    {22, 0, 80, Req::Word},
    {22, 124, 104, Req::Word, 100, kNone, true},
    {22, 44, 136, Req::Bit, 15},
    {22, 68, 164, Req::Bit, 64},
    {23, 28, 76, Req::Word},
    {23, 56, 96, Req::Bit, 49},
    {25, 160, 228, Req::Word, 156},
    {25, 176, 252, Req::Word, 172},
    {25, 52, 276, Req::Word, 48, 296},
    {25, 68, 300, Req::Bit, 64},
    {25, 192, 328, Req::Bit, 188},
};

// How a bit reference picks its elements.
enum class Group { Keep, Single, Byte, Decade };

// The link setting's fields.
constexpr int kLinkTarget = 0;
constexpr int kLinkElementType = 4;
constexpr int kLinkStation = 8;
constexpr int kLinkElement = 12;

std::uint16_t overrideCount(std::uint8_t selector) { return selector == 1 ? 4 : selector == 2 ? 2 : 1; }

// The bit table: the record's element type (for Modbus its read function) and grouping per
// protocol, element type of the link and write flag.
struct BitRule {
    int functionDelta;
    Group group;
    int function = kNone; // a fixed code instead of type + delta
};

// The S7-200's VW: bits inside a word are read and written through the word.
constexpr int kSiemensVw = 5;

BitRule bitRule(int protocol, std::int32_t t, bool write)
{
    switch (protocol) {
    case ModbusMaster:
        // The link's bit types start at coils; a write goes to coils or holding registers.
        if (!write)
            return {modbus::FC_READ_COILS,
                    (t == 0 || t == 1) ? Group::Byte : (t == 2 || t == 3) ? Group::Single : Group::Keep};
        if (t == 0)
            return {0, Group::Byte, modbus::FC_READ_COILS};
        return {0, Group::Single, modbus::FC_READ_HOLDING_REGISTERS};
    case MitsubishiFx:
    case SiemensPpi:
    case DeltaDvp:
        if (!write) {
            if (t == 3)
                return {1, Group::Single, protocol == SiemensPpi ? kSiemensVw : kNone};
            return {1, t == 2 ? Group::Byte : (t == 0 || t == 1) ? Group::Decade : Group::Keep};
        }
        if (t == 2)
            return {2, Group::Single, protocol == SiemensPpi ? kSiemensVw : kNone};
        return {2, t == 1 ? Group::Byte : Group::Decade};
    case FatekFb:
        if (!write)
            return {1, t == 3 ? Group::Single : Group::Byte};
        return {2, t == 2 ? Group::Single : Group::Byte};
    default: // OmronCj
        return {1, Group::Single};
    }
}

// The link's word types start at holding registers for Modbus.
int wordFunctionDelta(int protocol)
{
    return protocol == ModbusMaster ? modbus::FC_READ_HOLDING_REGISTERS : protocol == OmronCj ? 1 : 4;
}

void addRequest(RegistrationContext& ctx, int port, const PlcMapRecord& r)
{
    auto& table = (*ctx.tables)[static_cast<std::size_t>(port - 1)];
    if (table.add(r) != PlcRequestTable::Added::Full)
        return;
    bool& reported = ctx.fullReported[static_cast<std::size_t>(port - 1)];
    if (!reported)
        ctx.lines.push_back(port == 1 ? "串口1的控件PLC请求超出4000条，其余的请求未登记"
                                      : "串口2的控件PLC请求超出4000条，其余的请求未登记");
    reported = true;
}

} // namespace

RequestShape wordRequestShape(int protocol, std::int32_t type, std::int32_t address, std::uint16_t count)
{
    return {static_cast<std::uint8_t>(type + wordFunctionDelta(protocol)), address, count};
}

RequestShape bitRequestShape(int protocol, std::int32_t type, std::int32_t address, bool writeFlag)
{
    const BitRule rule = bitRule(protocol, type, writeFlag);
    RequestShape s;
    s.function = static_cast<std::uint8_t>(rule.function != kNone ? rule.function : type + rule.functionDelta);
    const std::uint16_t groupCount = protocol == SiemensPpi ? 1 : 8;
    switch (rule.group) {
    case Group::Single:
        s.element = address, s.count = 1;
        break;
    case Group::Byte:
        s.element = address & ~7, s.count = groupCount;
        break;
    case Group::Decade:
        s.element = address / 10 * 10, s.count = groupCount;
        break;
    case Group::Keep:
        s.element = address, s.count = groupCount;
        break;
    }
    return s;
}

void RegisterPlcRequests(int kind, std::span<const std::uint8_t> block, RegistrationContext& ctx)
{
    for (const RequestRef& ref : kRequestRefs) {
        if (ref.kind != kind)
            continue;
        if (ref.option != kNone && blockReadU8(block, ref.option) == 0)
            continue;
        const std::int32_t target = blockReadI32(block, ref.link + kLinkTarget);
        // Only a port that polls a PLC as master has a table; a link to any other port (or a
        // target that is no port) registers nothing.
        if (target != 1 && target != 2)
            continue;
        const PortLink& port = ctx.ports[static_cast<std::size_t>(target - 1)];
        if (!isPlcMasterProtocol(port.protocol))
            continue;
        const std::int32_t row = blockReadI32(block, ref.varIndex, -1);
        const std::int32_t hmi = row >= 0 && ctx.addressOf ? ctx.addressOf(row) : -1;
        if (hmi < 0 || hmi > 0xFFFF)
            continue; // a reply would have nowhere to go

        const std::int32_t type = blockReadI32(block, ref.link + kLinkElementType);
        const std::int32_t element = blockReadI32(block, ref.link + kLinkElement);
        const RequestShape shape =
            ref.request == Req::Word
                ? wordRequestShape(port.protocol, type, element,
                                   ref.countSelector != kNone ? overrideCount(blockReadU8(block, ref.countSelector)) : 1)
                : bitRequestShape(port.protocol, type, element, ref.writeFlag);

        PlcMapRecord r;
        r.station = port.protocol == MitsubishiFx ? 0 : blockReadU8(block, ref.link + kLinkStation);
        r.elementType = shape.function;
        r.elementNumber = static_cast<std::uint16_t>(shape.element);
        r.count = shape.count;
        r.hmiAddress = static_cast<std::uint16_t>(hmi);
        r.screen = 255;
        r.port = static_cast<std::uint8_t>(target);
        r.commDelay5 = port.commDelay5;
        r.ackDelay5 = port.ackDelay5;
        r.timeout5 = port.timeout5;
        const auto index = static_cast<std::uint16_t>(row & 0xFFFE);
        r.flags = static_cast<std::uint8_t>(index & 0xFF);
        r.reserved = static_cast<std::uint8_t>(index >> 8);
        addRequest(ctx, target, r);
    }
}

} // namespace qv::sim::plc
