#include "props/address_group.h"

#include "model/params/block_bytes.h"
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/params/blocks/state_picture_block.h"

namespace qv {
namespace {

namespace bb = blocks::button;
namespace cv = blocks::curve;
namespace dp = blocks::dynamic_picture;
namespace pb = blocks::progress_bar;
namespace ind = blocks::indicator;
namespace bs = blocks::bit_switch;
namespace radio = blocks::radio;

struct KindGroup {
    ShapeKind kind;
    GroupLayout layout;
};

// A common page's group: the page's index and link, behind a use switch (its width too), with
// the link's width code and, for bit groups, its bit.
template <class U, class UseKind, class IndexKind, class LinkKind>
constexpr GroupLayout wordGroup(ParamField<U, UseKind> use, ParamField<std::int32_t, IndexKind> index, LinkFields<LinkKind> link)
{
    GroupLayout g = pageGroup(index, link);
    g.use = use.offset;
    g.useWidth = use.width;
    g.widthCode = link.widthCode().offset;
    return g;
}
template <class U, class UseKind, class IndexKind, class LinkKind>
constexpr GroupLayout bitGroup(ParamField<U, UseKind> use, ParamField<std::int32_t, IndexKind> index, LinkFields<LinkKind> link)
{
    GroupLayout g = wordGroup(use, index, link);
    g.bit = link.bit().offset;
    return g;
}

namespace nb = blocks::number;
namespace cb = blocks::character;

constexpr KindGroup kHide[] = {
    {ShapeKind::Button, bitGroup(bb::kHideOption, bb::kHideIndex, bb::kHideLink)},
    {ShapeKind::DynamicPicture, bitGroup(dp::kHideOption, dp::kHideIndex, dp::kHideLink)},
    {ShapeKind::RealTimeNumber, bitGroup(nb::kHideOn, nb::kHideIndex, nb::kHideLink)},
    {ShapeKind::Curve, bitGroup(cv::kHideOption, cv::kHideIndex, cv::kHideLink)},
    {ShapeKind::Indicator, bitGroup(ind::kHideOption, ind::kHideIndex, ind::kHideLink)},
    {ShapeKind::BitSwitch, bitGroup(bs::kHideOption, bs::kHideIndex, bs::kHideLink)},
    {ShapeKind::RadioButton, bitGroup(radio::kHideOption, radio::kHideIndex, radio::kHideLink)},
    {ShapeKind::ProgressBar, bitGroup(pb::kHideOption, pb::kHideIndex, pb::kHideLink)},
    {ShapeKind::Character, bitGroup(cb::kHideOn, cb::kHideIndex, cb::kHideLink)},
};

constexpr KindGroup kWriteEnable[] = {
    {ShapeKind::Button, bitGroup(bb::kWriteEnableOption, bb::kWriteIndex, bb::kWriteLink)},
    {ShapeKind::RealTimeNumber, bitGroup(nb::kWriteOn, nb::kWriteIndex, nb::kWriteLink)},
    {ShapeKind::BitSwitch, bitGroup(bs::kWriteEnableOption, bs::kWriteIndex, bs::kWriteLink)},
    {ShapeKind::RadioButton, bitGroup(radio::kWriteEnableOption, radio::kWriteIndex, radio::kWriteLink)},
    {ShapeKind::Character, bitGroup(cb::kWriteOn, cb::kWriteIndex, cb::kWriteLink)},
};

constexpr KindGroup kMove[] = {
    {ShapeKind::DynamicPicture, wordGroup(dp::kMoveOption, dp::kMoveIndex, dp::kMoveLink)},
    {ShapeKind::RealTimeNumber, wordGroup(nb::kMoveOn, nb::kMoveIndex, nb::kMoveLink)},
    {ShapeKind::Character, wordGroup(cb::kMoveOn, cb::kMoveIndex, cb::kMoveLink)},
};

constexpr KindGroup kFontColor[] = {
    {ShapeKind::RealTimeNumber, wordGroup(nb::kFontVarOn, nb::kFontVarIndex, nb::kFontVarLink)},
    {ShapeKind::Character, wordGroup(cb::kFontVarOn, cb::kFontVarIndex, cb::kFontVarLink)},
};

constexpr KindGroup kBackColor[] = {
    {ShapeKind::RealTimeNumber, wordGroup(nb::kBackVarOn, nb::kBackVarIndex, nb::kBackVarLink)},
    {ShapeKind::Character, wordGroup(cb::kBackVarOn, cb::kBackVarIndex, cb::kBackVarLink)},
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

const GroupLayout* CommonGroupLayout(CommonGroup group, ShapeKind kind)
{
    for (const KindGroup& k : ruleOf(group).kinds)
        if (k.kind == kind)
            return &k.layout;
    return nullptr;
}

AddressGroup LoadCommonGroup(CommonGroup group, ShapeKind kind, std::span<const std::uint8_t> block)
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
