#include "props/link_targets.h"

#include <string_view>

namespace qv {
namespace {

enum class Family { Modbus, Fx, Siemens, Omron };

struct Protocol {
    std::int32_t number;
    const char* label;
    Family family;
    bool deltaCounters;  // "C" from 200 on are 32-bit counters
};

constexpr Protocol kProtocols[] = {
    {3, "Modbus RTU Master", Family::Modbus, false},
    {5, "Mitsubishi FX0n/FX2(三菱 PLC)", Family::Fx, false},
    {6, "Siemens S7-200 Series(西门子 PPI)", Family::Siemens, false},
    {7, "台达Delta DVP系列", Family::Fx, true},
    {9, "永宏FATEK_FB_Series系列", Family::Fx, false},
    {10, "欧姆龙OMRON_CJ_CS_CP系列", Family::Omron, false},
};

const Protocol* protocolOf(std::int32_t number)
{
    for (const Protocol& p : kProtocols)
        if (p.number == number)
            return &p;
    return nullptr;
}

using Names = std::span<const char* const>;

constexpr const char* kModbusBitRead[] = {"功能码:0x1(读线圈)", "功能码:0x2(读离散输入)", "功能码:0x3(读保持寄存器_Bit)",
                                          "功能码:0x4(读输入寄存器_Bit)"};
constexpr const char* kModbusBitWrite[] = {"功能码:0x5/0xf(写线圈)", "功能码:0x6/0x10(写保持寄存器_Bit)"};
constexpr const char* kModbusWordRead[] = {"功能码:0x3(读保持寄存器)", "功能码:0x4(读输入寄存器)"};
constexpr const char* kModbusWordWrite[] = {"功能码:0x6/0x10(写保持寄存器)"};
constexpr const char* kFxBitRead[] = {"X", "Y", "M", "D_Bit"};
constexpr const char* kFxBitWrite[] = {"Y", "M", "D_Bit"};
constexpr const char* kFxWord[] = {"D", "C", "T"};
constexpr const char* kSiemensBitRead[] = {"I", "Q", "M", "VW_Bit"};
constexpr const char* kSiemensBitWrite[] = {"Q", "M", "VW_Bit"};
constexpr const char* kSiemensWord[] = {"VB", "VW", "VD", "C", "T"};
constexpr const char* kOmronBit[] = {"CIO_Bit", "W_Bit", "D_Bit"};
constexpr const char* kOmronWord[] = {"CIO", "W", "D", "C", "T"};

struct FamilyTypes {
    Family family;
    Names bitRead, bitWrite, wordRead, wordWrite;
};

constexpr FamilyTypes kFamilyTypes[] = {
    {Family::Modbus, kModbusBitRead, kModbusBitWrite, kModbusWordRead, kModbusWordWrite},
    {Family::Fx, kFxBitRead, kFxBitWrite, kFxWord, kFxWord},
    {Family::Siemens, kSiemensBitRead, kSiemensBitWrite, kSiemensWord, kSiemensWord},
    {Family::Omron, kOmronBit, kOmronBit, kOmronWord, kOmronWord},
};

Names elementTypesOf(Family family, bool bitGroup, bool isWrite)
{
    for (const FamilyTypes& t : kFamilyTypes)
        if (t.family == family)
            return bitGroup ? (isWrite ? t.bitWrite : t.bitRead) : (isWrite ? t.wordWrite : t.wordRead);
    return {};
}

// How a bit element's number splits into the hidden variable's number and the bit.
enum class BitRule {
    Decimal,  // inputs and outputs: the last decimal digit is the bit, 8 and 9 do not exist
    Octet,    // eight bits to a byte
    InWord,   // a bit inside a word register: the number as typed, the bit typed by itself
};

struct BitType {
    std::string_view element;
    const char* part;
    BitRule rule;
};

constexpr BitType kBitTypes[] = {
    {"X", "IB", BitRule::Decimal},
    {"I", "IB", BitRule::Decimal},
    {"Y", "QB", BitRule::Decimal},
    {"Q", "QB", BitRule::Decimal},
    {"M", "MB", BitRule::Octet},
    {"功能码:0x1(读线圈)", "MB", BitRule::Octet},
    {"功能码:0x5/0xf(写线圈)", "MB", BitRule::Octet},
    {"功能码:0x2(读离散输入)", "IB", BitRule::Octet},
    {"功能码:0x3(读保持寄存器_Bit)", "VW", BitRule::InWord},
    {"功能码:0x6/0x10(写保持寄存器_Bit)", "VW", BitRule::InWord},
    {"VW_Bit", "VW", BitRule::InWord},
    {"D_Bit", "VW", BitRule::InWord},
    {"CIO_Bit", "QW", BitRule::InWord},
    {"W_Bit", "MW", BitRule::InWord},
    {"功能码:0x4(读输入寄存器_Bit)", "InW", BitRule::InWord},
};

struct WordType {
    std::string_view element;
    const char* part;
    std::uint32_t width;
};

constexpr WordType kWordTypes[] = {
    {"D", "VW", 2},
    {"VW", "VW", 2},
    {"功能码:0x3(读保持寄存器)", "VW", 2},
    {"功能码:0x6/0x10(写保持寄存器)", "VW", 2},
    {"功能码:0x4(读输入寄存器)", "InW", 2},
    {"VB", "VB", 1},
    {"VD", "VD", 4},
    {"C", "CW", 2},
    {"T", "TW", 2},
    {"CIO", "QW", 2},
    {"W", "MW", 2},
};
constexpr WordType kDeltaLongCounter = {"C", "CD", 4};
constexpr std::uint32_t kDeltaLongCounterFirst = 200;

struct Targets {
    std::vector<std::string> texts;
    std::vector<const Protocol*> protocols;  // nullptr for "HMI变量"
    std::vector<int> ports;
};

Targets targetsOf(std::int32_t protocol1, std::int32_t protocol2)
{
    Targets t;
    t.texts.emplace_back("HMI变量");
    t.protocols.push_back(nullptr);
    t.ports.push_back(0);
    const std::int32_t numbers[] = {protocol1, protocol2};
    for (int port = 1; port <= 2; ++port) {
        const Protocol* p = protocolOf(numbers[port - 1]);
        if (!p)
            continue;
        t.texts.push_back(std::string("<串口") + std::to_string(port) + "的PLC：" + p->label + ">和<HMI变量>");
        t.protocols.push_back(p);
        t.ports.push_back(port);
    }
    return t;
}

std::string hiddenNameOf(int port, std::uint32_t station, std::string_view part, std::uint32_t number)
{
    std::string name = "m_PlcCom" + std::to_string(port) + "SlaveAdr" + std::to_string(station);
    name.append(part);
    return name + std::to_string(number);
}

void listVariables(LinkFill& fill, const LinkFillContext& context, const LinkGroupState& state)
{
    fill.variables.assign(context.varNames.begin(), context.varNames.end());
    fill.variableSelection = state.varIndex >= 0 && static_cast<std::size_t>(state.varIndex) < context.varNames.size()
                                 ? state.varIndex
                                 : -1;
}

// The part shared by both operations up to the selected element type; nullptr when no PLC
// element is selected (the HMI target, or a target past the list).
const Protocol* fillTargets(bool bitGroup, bool isWrite, const LinkFillContext& context, LinkGroupState& state,
                            LinkFill& fill)
{
    Targets targets = targetsOf(context.protocol1, context.protocol2);
    fill.targets = std::move(targets.texts);
    if (state.linkTarget < 0 || static_cast<std::size_t>(state.linkTarget) >= fill.targets.size()) {
        fill.variableEnabled = false;
        return nullptr;
    }
    fill.targetSelection = state.linkTarget;
    fill.variableEnabled = state.allowOther != 0 || state.linkTarget == 0;
    const Protocol* protocol = targets.protocols[static_cast<std::size_t>(state.linkTarget)];
    if (!protocol) {
        listVariables(fill, context, state);
        state.widthCode = bitGroup ? 1 : 2;
        return nullptr;
    }
    const Names types = elementTypesOf(protocol->family, bitGroup, isWrite);
    fill.elementTypes.assign(types.begin(), types.end());
    if (state.elementType < 0 || static_cast<std::size_t>(state.elementType) >= types.size())
        state.elementType = 0;
    fill.elementTypeSelection = state.elementType;
    fill.port = targets.ports[static_cast<std::size_t>(state.linkTarget)];
    return protocol;
}

void nameOrList(LinkFill& fill, const LinkFillContext& context, const LinkGroupState& state, std::string name)
{
    if (state.allowOther != 0) {
        listVariables(fill, context, state);
        return;
    }
    fill.hiddenName = std::move(name);
    fill.variables = {fill.hiddenName};
    fill.variableSelection = 0;
}

} // namespace

std::vector<std::string> LinkTargetsOf(std::int32_t protocol1, std::int32_t protocol2)
{
    return targetsOf(protocol1, protocol2).texts;
}

LinkFill FillBitLinkCombos(bool isWrite, const LinkFillContext& context, LinkGroupState& state)
{
    LinkFill fill;
    if (!fillTargets(true, isWrite, context, state, fill))
        return fill;
    const std::string_view element = fill.elementTypes[static_cast<std::size_t>(state.elementType)];
    const BitType* type = nullptr;
    for (const BitType& t : kBitTypes)
        if (t.element == element)
            type = &t;
    if (!type)
        return fill;
    fill.bitInWord = type->rule == BitRule::InWord;
    state.widthCode = fill.bitInWord ? 2 : 1;
    if (state.allowOther != 0) {
        listVariables(fill, context, state);
        return fill;
    }
    std::uint32_t number = state.elementNumber;
    switch (type->rule) {
    case BitRule::Decimal:
        if (number % 10 >= 8) {
            fill.refusal = kPlcAddressRefused;
            state.elementNumber = number = 0;
        }
        state.bit = number % 10;
        number /= 10;
        fill.bitDerived = true;
        break;
    case BitRule::Octet:
        state.bit = number & 7;
        number >>= 3;
        fill.bitDerived = true;
        break;
    case BitRule::InWord: break;
    }
    nameOrList(fill, context, state, hiddenNameOf(fill.port, state.station, type->part, number));
    return fill;
}

LinkFill FillWordLinkCombos(bool isWrite, const LinkFillContext& context, LinkGroupState& state)
{
    LinkFill fill;
    const Protocol* protocol = fillTargets(false, isWrite, context, state, fill);
    if (!protocol)
        return fill;
    const std::string_view element = fill.elementTypes[static_cast<std::size_t>(state.elementType)];
    const WordType* type = nullptr;
    for (const WordType& t : kWordTypes)
        if (t.element == element)
            type = &t;
    if (protocol->deltaCounters && element == kDeltaLongCounter.element && state.elementNumber >= kDeltaLongCounterFirst)
        type = &kDeltaLongCounter;
    if (!type)
        return fill;
    state.widthCode = type->width;
    nameOrList(fill, context, state, hiddenNameOf(fill.port, state.station, type->part, state.elementNumber));
    return fill;
}

} // namespace qv
