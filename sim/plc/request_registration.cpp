#include "sim/plc/request_registration.h"

#include "model/params/block_bytes.h"
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/params/blocks/state_picture_block.h"
#include "sim/plc/protocol_drivers.h"
#include "sim/plc/protocols/modbus_pdu.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace qv::protocol;
namespace nb = blocks::number;
namespace cb = blocks::character;

enum class Req { Word, Bit };
constexpr int kNone = -1;

// One linkable reference of a kind: its variable index, its 16-byte link setting at `link`,
// the option byte that switches it on, the move count selector, and the write flag.
struct RequestRef {
    ShapeKind kind;
    int varIndex;
    int link;
    Req request;
    int option = kNone;
    int countSelector = kNone;
    bool writeFlag = false;
};

// A row from a kind's named fields (model/params/blocks/).
template <class IndexKind, class LinkKind>
constexpr RequestRef ref(ShapeKind kind, ParamField<std::int32_t, IndexKind> index, LinkFields<LinkKind> link, Req request)
{
    return {kind, index.offset, link.first, request};
}
template <class IndexKind, class LinkKind, class O, class OptionKind>
constexpr RequestRef ref(ShapeKind kind, ParamField<std::int32_t, IndexKind> index, LinkFields<LinkKind> link, Req request,
                         ParamField<O, OptionKind> option, bool writeFlag = false)
{
    return {kind, index.offset, link.first, request, option.offset, kNone, writeFlag};
}

// A move reference: a word request whose count the link's width code selects.
template <class IndexKind, class LinkKind, class O, class OptionKind>
constexpr RequestRef moveRef(ShapeKind kind, ParamField<std::int32_t, IndexKind> index, LinkFields<LinkKind> link,
                             ParamField<O, OptionKind> option)
{
    return {kind, index.offset, link.first, Req::Word, option.offset, link.widthCode().offset};
}

namespace bb = blocks::button;
namespace cv = blocks::curve;
namespace dp = blocks::dynamic_picture;
namespace pb = blocks::progress_bar;
namespace lamp = blocks::lamp;
namespace ind = blocks::indicator;
namespace bs = blocks::bit_switch;
namespace radio = blocks::radio;

constexpr RequestRef kRequestRefs[] = {
    ref(ShapeKind::Button, bb::kValueIndex, bb::kValueLink, Req::Word),
    ref(ShapeKind::Button, bb::kHideIndex, bb::kHideLink, Req::Bit, bb::kHideOption),
    ref(ShapeKind::Button, bb::kWriteIndex, bb::kWriteLink, Req::Bit, bb::kWriteEnableOption),
    ref(ShapeKind::DynamicPicture, dp::kFrameIndex, dp::kFrameLink, Req::Word),
    moveRef(ShapeKind::DynamicPicture, dp::kMoveIndex, dp::kMoveLink, dp::kMoveOption),
    ref(ShapeKind::DynamicPicture, dp::kHideIndex, dp::kHideLink, Req::Bit, dp::kHideOption),
    ref(ShapeKind::RealTimeNumber, nb::kValueIndex, nb::kReadLink, Req::Word),
    ref(ShapeKind::RealTimeNumber, nb::kOtherIndex, nb::kOtherWriteLink, Req::Word, nb::kOtherWriteOn, true),
    ref(ShapeKind::RealTimeNumber, nb::kFontVarIndex, nb::kFontVarLink, Req::Word, nb::kFontVarOn),
    ref(ShapeKind::RealTimeNumber, nb::kBackVarIndex, nb::kBackVarLink, Req::Word, nb::kBackVarOn),
    ref(ShapeKind::RealTimeNumber, nb::kHideIndex, nb::kHideLink, Req::Bit, nb::kHideOn),
    ref(ShapeKind::RealTimeNumber, nb::kWriteIndex, nb::kWriteLink, Req::Bit, nb::kWriteOn),
    moveRef(ShapeKind::RealTimeNumber, nb::kMoveIndex, nb::kMoveLink, nb::kMoveOn),
    ref(ShapeKind::Curve, cv::kHideIndex, cv::kHideLink, Req::Bit, cv::kHideOption),
    ref(ShapeKind::Indicator, lamp::kBitIndex, ind::kBitLink, Req::Bit),
    ref(ShapeKind::Indicator, ind::kHideIndex, ind::kHideLink, Req::Bit, ind::kHideOption),
    ref(ShapeKind::BitSwitch, lamp::kBitIndex, bs::kBitLink, Req::Bit),
    ref(ShapeKind::BitSwitch, bs::kSecondIndex, bs::kSecondLink, Req::Bit, bs::kDifferentWrite, true),
    ref(ShapeKind::BitSwitch, bs::kHideIndex, bs::kHideLink, Req::Bit, bs::kHideOption),
    ref(ShapeKind::BitSwitch, bs::kWriteIndex, bs::kWriteLink, Req::Bit, bs::kWriteEnableOption),
    ref(ShapeKind::RadioButton, radio::kValueIndex, radio::kValueLink, Req::Word),
    ref(ShapeKind::RadioButton, radio::kSecondIndex, radio::kSecondLink, Req::Word, radio::kDifferentWrite, true),
    ref(ShapeKind::RadioButton, radio::kHideIndex, radio::kHideLink, Req::Bit, radio::kHideOption),
    ref(ShapeKind::RadioButton, radio::kWriteIndex, radio::kWriteLink, Req::Bit, radio::kWriteEnableOption),
    ref(ShapeKind::ProgressBar, pb::kValueIndex, pb::kValueLink, Req::Word),
    ref(ShapeKind::ProgressBar, pb::kHideIndex, pb::kHideLink, Req::Bit, pb::kHideOption),
    ref(ShapeKind::Character, cb::kFontVarIndex, cb::kFontVarLink, Req::Word, cb::kFontVarOn),
    ref(ShapeKind::Character, cb::kBackVarIndex, cb::kBackVarLink, Req::Word, cb::kBackVarOn),
    moveRef(ShapeKind::Character, cb::kMoveIndex, cb::kMoveLink, cb::kMoveOn),
    ref(ShapeKind::Character, cb::kHideIndex, cb::kHideLink, Req::Bit, cb::kHideOn),
    ref(ShapeKind::Character, cb::kWriteIndex, cb::kWriteLink, Req::Bit, cb::kWriteOn),
};

// How a bit reference picks its elements.
enum class Group { Keep, Single, Byte, Decade };

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

void RegisterPlcRequests(ShapeKind kind, std::span<const std::uint8_t> block, RegistrationContext& ctx)
{
    for (const RequestRef& ref : kRequestRefs) {
        if (ref.kind != kind)
            continue;
        if (ref.option != kNone && blockReadU8(block, ref.option) == 0)
            continue;
        const LinkFields<void> link{ref.link};
        const std::int32_t target = blockReadI32(block, link.target().offset);
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

        const std::int32_t type = blockReadI32(block, link.elementType().offset);
        const std::int32_t element = blockReadI32(block, link.elementNumber().offset);
        const RequestShape shape =
            ref.request == Req::Word
                ? wordRequestShape(port.protocol, type, element,
                                   ref.countSelector != kNone ? overrideCount(blockReadU8(block, ref.countSelector)) : 1)
                : bitRequestShape(port.protocol, type, element, ref.writeFlag);

        PlcMapRecord r;
        r.station = port.protocol == MitsubishiFx ? 0 : blockReadU8(block, link.station().offset);
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
