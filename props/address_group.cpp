#include "props/address_group.h"

#include "model/params/block_bytes.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/number_block.h"

namespace qv {
namespace {

struct KindGroup {
    int kind;
    GroupLayout layout;
};

// use, use width, index, target, element type, station, element number, allow other, width
// code, bit
constexpr GroupLayout bitGroup(int use, int useWidth, int index, int first)
{
    return {use, useWidth, index, first, first + 4, first + 8, first + 12, first + 16, first + 20, first + 24, 4};
}
constexpr GroupLayout wordGroup(int use, int useWidth, int index, int first)
{
    return {use, useWidth, index, first, first + 4, first + 8, first + 12, first + 16, first + 20, -1, 4};
}
// The same from a kind's named fields: its use switch, the reference's index and the group's first field.
template <class U, class Kind>
constexpr GroupLayout bitGroup(ParamField<U, Kind> use, ParamField<std::int32_t, Kind> index, ParamField<std::int32_t, Kind> first)
{
    return bitGroup(use.offset, use.width, index.offset, first.offset);
}
template <class U, class Kind>
constexpr GroupLayout wordGroup(ParamField<U, Kind> use, ParamField<std::int32_t, Kind> index, ParamField<std::int32_t, Kind> first)
{
    return wordGroup(use.offset, use.width, index.offset, first.offset);
}

namespace nb = blocks::number;
namespace cb = blocks::character;

constexpr KindGroup kHide[] = {
    {7, bitGroup(126, 1, 172, 248)},  {8, bitGroup(77, 1, 84, 144)},   {9, bitGroup(nb::kHideOn, nb::kHideIndex, nb::kHideLink)},
    {11, bitGroup(853, 1, 860, 892)}, {12, bitGroup(27, 1, 32, 76)},   {20, bitGroup(30, 1, 36, 136)},
    {22, bitGroup(15, 1, 44, 136)},   {23, bitGroup(49, 1, 56, 96)},   {25, bitGroup(cb::kHideOn, cb::kHideIndex, cb::kHideLink)},
};

constexpr KindGroup kWriteEnable[] = {
    {7, bitGroup(212, 4, 216, 276)}, {9, bitGroup(nb::kWriteOn, nb::kWriteIndex, nb::kWriteLink)}, {20, bitGroup(52, 4, 56, 164)},
    {22, bitGroup(64, 4, 68, 164)},  {25, bitGroup(cb::kWriteOn, cb::kWriteIndex, cb::kWriteLink)},
};

constexpr KindGroup kMove[] = {
    {8, wordGroup(76, 1, 80, 120)}, {9, wordGroup(nb::kMoveOn, nb::kMoveIndex, nb::kMoveLink)}, {25, wordGroup(cb::kMoveOn, cb::kMoveIndex, cb::kMoveLink)},
};

constexpr KindGroup kFontColor[] = {
    {9, wordGroup(nb::kFontVarOn, nb::kFontVarIndex, nb::kFontVarLink)}, {25, wordGroup(cb::kFontVarOn, cb::kFontVarIndex, cb::kFontVarLink)},
};

constexpr KindGroup kBackColor[] = {
    {9, wordGroup(nb::kBackVarOn, nb::kBackVarIndex, nb::kBackVarLink)}, {25, wordGroup(cb::kBackVarOn, cb::kBackVarIndex, cb::kBackVarLink)},
};

struct CommonGroupRule {
    CommonGroup group;
    std::span<const KindGroup> kinds;
    LinkKind link;
    HiddenVarType hiddenType;
};

constexpr CommonGroupRule kCommonRules[] = {
    {CommonGroup::Hide, kHide, LinkKind::Bit, HiddenVarType::ByWidth},
    {CommonGroup::WriteEnable, kWriteEnable, LinkKind::Bit, HiddenVarType::ByWidth},
    {CommonGroup::Move, kMove, LinkKind::Word, HiddenVarType::Int},
    {CommonGroup::FontColor, kFontColor, LinkKind::Word, HiddenVarType::ShortOrInt},
    {CommonGroup::BackColor, kBackColor, LinkKind::Word, HiddenVarType::ShortOrInt},
};

const CommonGroupRule& ruleOf(CommonGroup group)
{
    for (const CommonGroupRule& r : kCommonRules)
        if (r.group == group)
            return r;
    return kCommonRules[0];
}

std::int32_t readInt(std::span<const std::uint8_t> block, int offset, std::int32_t fallback)
{
    return offset < 0 ? fallback : blockReadI32(block, offset, fallback);
}

void writeInt(std::span<std::uint8_t> block, int offset, std::uint32_t value, int width = 4)
{
    if (offset >= 0)
        blockWriteU(block, offset, width, value);
}

} // namespace

const GroupLayout* CommonGroupLayout(CommonGroup group, int kind)
{
    for (const KindGroup& k : ruleOf(group).kinds)
        if (k.kind == kind)
            return &k.layout;
    return nullptr;
}

AddressGroup LoadCommonGroup(CommonGroup group, int kind, std::span<const std::uint8_t> block)
{
    const CommonGroupRule& rule = ruleOf(group);
    const GroupLayout* layout = CommonGroupLayout(group, kind);
    return LoadGroup(layout ? *layout : GroupLayout{}, rule.link, rule.hiddenType, false, true, block);
}

AddressGroup LoadGroup(const GroupLayout& layout, LinkKind link, HiddenVarType hiddenType, bool isWrite, bool hasUse,
                       std::span<const std::uint8_t> block)
{
    AddressGroup g;
    g.layout = layout;
    g.link = link;
    g.hiddenType = hiddenType;
    g.isWrite = isWrite;
    g.hasUse = hasUse;
    if (hasUse && layout.use >= 0)
        g.use = blockReadU(block, layout.use, layout.useWidth);
    LinkGroupState& s = g.state;
    s.varIndex = readInt(block, layout.index, -1);
    g.loadedIndex = s.varIndex;
    s.linkTarget = readInt(block, layout.target, 0);
    s.elementType = readInt(block, layout.elementType, 0);
    s.station = static_cast<std::uint32_t>(readInt(block, layout.station, 0));
    s.elementNumber = static_cast<std::uint32_t>(readInt(block, layout.elementNumber, 0));
    s.allowOther = static_cast<std::uint32_t>(readInt(block, layout.allowOther, 0));
    s.widthCode = static_cast<std::uint32_t>(readInt(block, layout.widthCode, 0));
    if (layout.bit >= 0)
        s.bit = blockReadU(block, layout.bit, layout.bitWidth);
    return g;
}

void CommitGroup(const AddressGroup& g, std::span<std::uint8_t> block)
{
    const GroupLayout& l = g.layout;
    const LinkGroupState& s = g.state;
    if (!g.changed) {
        if (s.varIndex != g.loadedIndex)
            writeInt(block, l.index, static_cast<std::uint32_t>(s.varIndex));
        return;
    }
    if (g.hasUse && l.use >= 0)
        writeInt(block, l.use, g.use, l.useWidth);
    writeInt(block, l.index, static_cast<std::uint32_t>(s.varIndex));
    writeInt(block, l.target, static_cast<std::uint32_t>(s.linkTarget));
    writeInt(block, l.elementType, static_cast<std::uint32_t>(s.elementType));
    writeInt(block, l.station, s.station);
    writeInt(block, l.elementNumber, s.elementNumber);
    writeInt(block, l.allowOther, s.allowOther);
    writeInt(block, l.widthCode, s.widthCode);
    writeInt(block, l.bit, s.bit, l.bitWidth);
}

LinkFill FillGroup(AddressGroup& group, const LinkFillContext& context)
{
    return group.link == LinkKind::Bit ? FillBitLinkCombos(group.isWrite, context, group.state)
                                       : FillWordLinkCombos(group.isWrite, context, group.state);
}

std::string HiddenVarTypeOf(HiddenVarType type, std::uint32_t widthCode)
{
    switch (type) {
    case HiddenVarType::ByWidth:
        return widthCode == 1 ? "unsigned char" : widthCode == 2 ? "unsigned short" : "unsigned int";
    case HiddenVarType::ShortOrInt: return widthCode == 4 ? "unsigned int" : "unsigned short";
    case HiddenVarType::Int: return "unsigned int";
    }
    return "unsigned int";
}

std::string HiddenVarNeeded(AddressGroup& group, const LinkFillContext& context)
{
    if (group.use == 0 || group.state.linkTarget == 0 || group.state.allowOther != 0)
        return {};
    // The fill works on a copy: a group the user left alone keeps its stored members.
    AddressGroup probe = group;
    LinkFill fill = FillGroup(probe, context);
    if (fill.hiddenName.empty())
        return {};
    if (group.changed)
        group.state = probe.state;
    return fill.hiddenName;
}

} // namespace qv
