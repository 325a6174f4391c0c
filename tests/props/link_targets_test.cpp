// The fill operations of an address group: target lists by the ports' protocols, element
// types by family, the hidden variable's name, width and bit, refused input numbers, and
// stored values past the lists.
#include "props/address_group.h"
#include "props/link_targets.h"
#include "model/params/block_bytes.h"

#include <array>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::test {
namespace {

constexpr int kModbus = 3, kMitsubishi = 5, kSiemens = 6, kDelta = 7, kOmron = 10;

struct FillCase {
    const char* what;
    int protocol1, protocol2;
    LinkKind link;
    bool isWrite;
    LinkGroupState in;
    std::string name;  // expected hidden name ("" none)
    std::uint32_t width;
    std::uint32_t bit;
    std::uint32_t elementNumber;
    bool bitInWord;
    bool refused;
};

LinkGroupState plc(int target, int type, std::uint32_t station, std::uint32_t number, std::uint32_t bit = 0)
{
    LinkGroupState s;
    s.linkTarget = target;
    s.elementType = type;
    s.station = station;
    s.elementNumber = number;
    s.bit = bit;
    return s;
}

TEST(LinkFill, NamesWidthsAndBitsByFamily)
{
    const FillCase cases[] = {
        {"port 2 only, M 10", 1, kMitsubishi, LinkKind::Bit, false, plc(1, 2, 1, 10), "m_PlcCom2SlaveAdr1MB1", 1, 2, 10, false, false},
        {"X 17", kMitsubishi, 0, LinkKind::Bit, false, plc(1, 0, 1, 17), "m_PlcCom1SlaveAdr1IB1", 1, 7, 17, false, false},
        {"X 18 refused", kMitsubishi, 0, LinkKind::Bit, false, plc(1, 0, 1, 18, 5), "m_PlcCom1SlaveAdr1IB0", 1, 0, 0, false, true},
        {"Q 29 refused", kSiemens, 0, LinkKind::Bit, false, plc(1, 1, 3, 29), "m_PlcCom1SlaveAdr3QB0", 1, 0, 0, false, true},
        {"write Y 25", kMitsubishi, 0, LinkKind::Bit, true, plc(1, 0, 2, 25), "m_PlcCom1SlaveAdr2QB2", 1, 5, 25, false, false},
        {"discrete input 13", kModbus, 0, LinkKind::Bit, false, plc(1, 1, 1, 13), "m_PlcCom1SlaveAdr1IB1", 1, 5, 13, false, false},
        {"holding register bit", kModbus, 0, LinkKind::Bit, false, plc(1, 2, 4, 7, 12), "m_PlcCom1SlaveAdr4VW7", 2, 12, 7, true, false},
        {"input register bit", kModbus, 0, LinkKind::Bit, false, plc(1, 3, 4, 7, 3), "m_PlcCom1SlaveAdr4InW7", 2, 3, 7, true, false},
        {"CIO bit", kOmron, 0, LinkKind::Bit, false, plc(1, 0, 0, 9, 15), "m_PlcCom1SlaveAdr0QW9", 2, 15, 9, true, false},
        {"W bit write", kOmron, 0, LinkKind::Bit, true, plc(1, 1, 0, 9, 1), "m_PlcCom1SlaveAdr0MW9", 2, 1, 9, true, false},
        {"holding register 100", kModbus, 0, LinkKind::Word, false, plc(1, 0, 2, 100), "m_PlcCom1SlaveAdr2VW100", 2, 0, 100, false, false},
        {"input register", kModbus, kModbus, LinkKind::Word, false, plc(2, 1, 2, 5), "m_PlcCom2SlaveAdr2InW5", 2, 0, 5, false, false},
        {"Delta C 199", kDelta, 0, LinkKind::Word, false, plc(1, 1, 1, 199), "m_PlcCom1SlaveAdr1CW199", 2, 0, 199, false, false},
        {"Delta C 200", kDelta, 0, LinkKind::Word, false, plc(1, 1, 1, 200), "m_PlcCom1SlaveAdr1CD200", 4, 0, 200, false, false},
        {"Mitsubishi C 200", kMitsubishi, 0, LinkKind::Word, false, plc(1, 1, 1, 200), "m_PlcCom1SlaveAdr1CW200", 2, 0, 200, false, false},
        {"Siemens VB", kSiemens, 0, LinkKind::Word, false, plc(1, 0, 1, 10), "m_PlcCom1SlaveAdr1VB10", 1, 0, 10, false, false},
        {"Siemens VD", kSiemens, 0, LinkKind::Word, false, plc(1, 2, 1, 10), "m_PlcCom1SlaveAdr1VD10", 4, 0, 10, false, false},
        {"Omron T", kOmron, 0, LinkKind::Word, false, plc(1, 4, 1, 3), "m_PlcCom1SlaveAdr1TW3", 2, 0, 3, false, false},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.what);
        LinkGroupState state = c.in;
        const LinkFillContext context{c.protocol1, c.protocol2, {}};
        const LinkFill fill = c.link == LinkKind::Bit ? FillBitLinkCombos(c.isWrite, context, state)
                                                      : FillWordLinkCombos(c.isWrite, context, state);
        EXPECT_EQ(fill.hiddenName, c.name);
        EXPECT_EQ(fill.variables, std::vector<std::string>{c.name});
        EXPECT_EQ(fill.variableSelection, 0);
        EXPECT_FALSE(fill.variableEnabled);
        EXPECT_EQ(state.widthCode, c.width);
        EXPECT_EQ(state.bit, c.bit);
        EXPECT_EQ(state.elementNumber, c.elementNumber);
        EXPECT_EQ(fill.bitInWord, c.bitInWord);
        EXPECT_EQ(fill.refusal.empty(), !c.refused);
        if (c.refused)
            EXPECT_EQ(fill.refusal, kPlcAddressRefused);
    }
}

TEST(LinkFill, TargetListFollowsBothPortsProtocols)
{
    EXPECT_EQ(LinkTargetsOf(1, kMitsubishi),
              (std::vector<std::string>{"HMI变量", "<串口2的PLC：Mitsubishi FX0n/FX2(三菱 PLC)>和<HMI变量>"}));
    EXPECT_EQ(LinkTargetsOf(kModbus, kOmron),
              (std::vector<std::string>{"HMI变量", "<串口1的PLC：Modbus RTU Master>和<HMI变量>",
                                        "<串口2的PLC：欧姆龙OMRON_CJ_CS_CP系列>和<HMI变量>"}));
    EXPECT_EQ(LinkTargetsOf(0, 2), std::vector<std::string>{"HMI变量"});

    LinkGroupState s = plc(1, 0, 1, 1);
    const LinkFill siemensRead = FillBitLinkCombos(false, {kSiemens, 0, {}}, s);
    EXPECT_EQ(siemensRead.elementTypes, (std::vector<std::string>{"I", "Q", "M", "VW_Bit"}));
    const LinkFill siemensWrite = FillBitLinkCombos(true, {kSiemens, 0, {}}, s);
    EXPECT_EQ(siemensWrite.elementTypes, (std::vector<std::string>{"Q", "M", "VW_Bit"}));
    const LinkFill modbusWrite = FillWordLinkCombos(true, {kModbus, 0, {}}, s);
    EXPECT_EQ(modbusWrite.elementTypes, std::vector<std::string>{"功能码:0x6/0x10(写保持寄存器)"});
}

TEST(LinkFill, HmiTargetAndAllowOtherListTheVariables)
{
    const std::vector<std::string> names = {"a", "b", "c"};
    const LinkFillContext context{kMitsubishi, 0, names};

    LinkGroupState hmi;
    hmi.varIndex = 2;
    hmi.bit = 9;
    const LinkFill bit = FillBitLinkCombos(false, context, hmi);
    EXPECT_EQ(bit.variables, names);
    EXPECT_EQ(bit.variableSelection, 2);
    EXPECT_TRUE(bit.variableEnabled);
    EXPECT_EQ(hmi.widthCode, 1u);
    EXPECT_EQ(hmi.bit, 9u);
    EXPECT_TRUE(bit.elementTypes.empty());

    hmi.varIndex = 3;  // past the table: nothing selected
    const LinkFill word = FillWordLinkCombos(false, context, hmi);
    EXPECT_EQ(word.variableSelection, -1);
    EXPECT_EQ(hmi.widthCode, 2u);

    // Allow other on "X" 18: no name, no bit derived, no refusal; the width still set.
    LinkGroupState other = plc(1, 0, 1, 18, 4);
    other.allowOther = 1;
    other.varIndex = 1;
    const LinkFill otherFill = FillBitLinkCombos(false, context, other);
    EXPECT_TRUE(otherFill.hiddenName.empty());
    EXPECT_TRUE(otherFill.refusal.empty());
    EXPECT_EQ(otherFill.variables, names);
    EXPECT_EQ(otherFill.variableSelection, 1);
    EXPECT_TRUE(otherFill.variableEnabled);
    EXPECT_EQ(other.bit, 4u);
    EXPECT_EQ(other.elementNumber, 18u);
    EXPECT_EQ(other.widthCode, 1u);
}

TEST(LinkFill, StoredValuesPastTheListsNameNothingOrResetTheType)
{
    // Port 2's protocol gone: target 2 is past the list. Nothing selected, nothing named,
    // the stored group untouched.
    LinkGroupState past = plc(2, 1, 7, 40, 3);
    past.widthCode = 4;
    const LinkGroupState before = past;
    const LinkFill fill = FillWordLinkCombos(false, {kModbus, 0, {}}, past);
    EXPECT_EQ(fill.targetSelection, -1);
    EXPECT_TRUE(fill.hiddenName.empty());
    EXPECT_TRUE(fill.elementTypes.empty());
    EXPECT_FALSE(fill.variableEnabled);
    EXPECT_EQ(past.elementType, before.elementType);
    EXPECT_EQ(past.widthCode, before.widthCode);
    EXPECT_EQ(past.elementNumber, before.elementNumber);

    LinkGroupState negative = plc(-1, 0, 0, 0);
    EXPECT_EQ(FillBitLinkCombos(false, {kModbus, 0, {}}, negative).targetSelection, -1);

    // A Siemens "T" (4) stays past the write list of Modbus (one entry): reset to 0.
    LinkGroupState shrunk = plc(1, 4, 1, 100);
    const LinkFill reset = FillWordLinkCombos(true, {kModbus, 0, {}}, shrunk);
    EXPECT_EQ(shrunk.elementType, 0);
    EXPECT_EQ(reset.elementTypeSelection, 0);
    EXPECT_EQ(reset.hiddenName, "m_PlcCom1SlaveAdr1VW100");
}

TEST(HiddenVar, TypeByPageAndWidth)
{
    struct Case {
        HiddenVarType type;
        std::uint32_t width;
        const char* expected;
    } const cases[] = {
        {HiddenVarType::ByWidth, 1, "unsigned char"},  {HiddenVarType::ByWidth, 2, "unsigned short"},
        {HiddenVarType::ByWidth, 4, "unsigned int"},   {HiddenVarType::ByWidth, 0, "unsigned int"},
        {HiddenVarType::ShortOrInt, 1, "unsigned short"}, {HiddenVarType::ShortOrInt, 4, "unsigned int"},
        {HiddenVarType::Int, 1, "unsigned int"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HiddenVarTypeOf(c.type, c.width), c.expected) << static_cast<int>(c.type) << ' ' << c.width;
}

TEST(HiddenVar, NeededOnlyForAUsedPlcGroupWithoutAllowOther)
{
    const LinkFillContext context{kSiemens, 0, {}};
    AddressGroup group;
    group.link = LinkKind::Word;
    group.state = plc(1, 0, 1, 10);
    EXPECT_EQ(HiddenVarNeeded(group, context), "m_PlcCom1SlaveAdr1VB10");
    group.use = 0;
    EXPECT_EQ(HiddenVarNeeded(group, context), "");
    group.use = 1;
    group.state.allowOther = 1;
    EXPECT_EQ(HiddenVarNeeded(group, context), "");
    group.state.allowOther = 0;
    group.state.linkTarget = 0;
    EXPECT_EQ(HiddenVarNeeded(group, context), "");
}

TEST(CommonGroups, LoadAndCommitAtEachKindsOffsets)
{
    // Distinct values per field, a byte-wide use flag and an unchanged group left alone.
    std::array<std::uint8_t, 1024> block{};
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 13 + 5);
    const auto original = block;
    for (CommonGroup which : kCommonGroups) {
        for (ShapeKind kind : {ShapeKind::Button, ShapeKind::DynamicPicture, ShapeKind::RealTimeNumber, ShapeKind::Curve, ShapeKind::Indicator,
                               ShapeKind::BitSwitch, ShapeKind::RadioButton, ShapeKind::ProgressBar, ShapeKind::Character}) {
            if (!CommonGroupLayout(which, kind))
                continue;
            AddressGroup g = LoadCommonGroup(which, kind, block);
            CommitGroup(g, block);
            EXPECT_EQ(block, original) << static_cast<int>(which) << ' ' << kind;
        }
    }
    // The button's hide group: use byte 126, index 172, then 248..272.
    AddressGroup hide = LoadCommonGroup(CommonGroup::Hide, ShapeKind::Button, block);
    hide.use = 1;
    hide.state = plc(1, 2, 3, 4, 5);
    hide.state.varIndex = 6;
    hide.state.allowOther = 1;
    hide.state.widthCode = 2;
    hide.changed = true;
    std::array<std::uint8_t, 1024> out = original;
    CommitGroup(hide, out);
    const std::pair<int, std::uint32_t> expected[] = {{172, 6}, {248, 1}, {252, 2}, {256, 3}, {260, 4}, {264, 1}, {268, 2}, {272, 5}};
    for (auto [offset, value] : expected)
        EXPECT_EQ(blockReadU(out, offset, 4), value) << offset;
    EXPECT_EQ(out[126], 1);
    EXPECT_EQ(out[127], original[127]);
    int differing = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
        differing += out[i] != original[i];
    EXPECT_LE(differing, 1 + 8 * 4);
}

} // namespace
} // namespace qv::test
