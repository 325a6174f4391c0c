#include "sim/plc/request_registration.h"

#include "model/params/block_bytes.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/number_block.h"
#include "sim/plc/protocol_drivers.h"

namespace qv::sim::plc {
namespace {

namespace nb = blocks::number;
namespace cb = blocks::character;

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
    {9, nb::kValueIndex.offset, nb::kReadLink.offset, Req::Word},
    {9, nb::kOtherIndex.offset, nb::kOtherWriteLink.offset, Req::Word, nb::kOtherWriteOn.offset, kNone, true},
    {9, nb::kFontVarIndex.offset, nb::kFontVarLink.offset, Req::Word, nb::kFontVarOn.offset},
    {9, nb::kBackVarIndex.offset, nb::kBackVarLink.offset, Req::Word, nb::kBackVarOn.offset},
    {9, nb::kHideIndex.offset, nb::kHideLink.offset, Req::Bit, nb::kHideOn.offset},
    {9, nb::kWriteIndex.offset, nb::kWriteLink.offset, Req::Bit, nb::kWriteOn.offset},
    {9, nb::kMoveIndex.offset, nb::kMoveLink.offset, Req::Word, nb::kMoveOn.offset, nb::kMoveWidthCode.offset},
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
    {25, cb::kFontVarIndex.offset, cb::kFontVarLink.offset, Req::Word, cb::kFontVarOn.offset},
    {25, cb::kBackVarIndex.offset, cb::kBackVarLink.offset, Req::Word, cb::kBackVarOn.offset},
    {25, cb::kMoveIndex.offset, cb::kMoveLink.offset, Req::Word, cb::kMoveOn.offset, cb::kMoveWidthCode.offset},
    {25, cb::kHideIndex.offset, cb::kHideLink.offset, Req::Bit, cb::kHideOn.offset},
    {25, cb::kWriteIndex.offset, cb::kWriteLink.offset, Req::Bit, cb::kWriteOn.offset},
};

// How a bit reference picks its elements.
enum class Group { Keep, Single, Byte, Decade };

// The link setting's fields.
constexpr int kLinkTarget = 0;
constexpr int kLinkElementType = 4;
constexpr int kLinkStation = 8;
constexpr int kLinkElement = 12;

std::uint16_t overrideCount(std::uint8_t selector) { return selector == 1 ? 4 : selector == 2 ? 2 : 1; }

// The bit table: function code and grouping per protocol, element type and write flag.
struct BitRule {
    int functionDelta;
    Group group;
    int function = kNone; // a fixed code instead of type + delta
};

BitRule bitRule(int protocol, std::int32_t t, bool write)
{
    switch (protocol) {
    case 3:
        if (!write)
            return {1, (t == 0 || t == 1) ? Group::Byte : (t == 2 || t == 3) ? Group::Single : Group::Keep};
        return t == 0 ? BitRule{0, Group::Byte, 1} : BitRule{0, Group::Single, 3};
    case 5:
    case 6:
    case 7:
        if (!write) {
            if (t == 3)
                return {1, Group::Single, protocol == 6 ? 5 : kNone};
            return {1, t == 2 ? Group::Byte : (t == 0 || t == 1) ? Group::Decade : Group::Keep};
        }
        if (t == 2)
            return {2, Group::Single, protocol == 6 ? 5 : kNone};
        return {2, t == 1 ? Group::Byte : Group::Decade};
    case 9:
        if (!write)
            return {1, t == 3 ? Group::Single : Group::Byte};
        return {2, t == 2 ? Group::Single : Group::Byte};
    default: // 10
        return {1, Group::Single};
    }
}

int wordFunctionDelta(int protocol) { return protocol == 3 ? 3 : protocol == 10 ? 1 : 4; }

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
    const std::uint16_t groupCount = protocol == 6 ? 1 : 8;
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
        r.station = port.protocol == 5 ? 0 : blockReadU8(block, ref.link + kLinkStation);
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
