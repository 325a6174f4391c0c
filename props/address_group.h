#pragma once
// Address groups as the pages hold them and where each kind keeps them in its parameter
// block: the four common groups (hide, write enable, move, font and background colour) and
// the basic-control pages' read and write groups. A group is copied back only when the
// user changed it, so stored values the pages cannot show stay byte for byte.
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"
#include "model/shape/shape_kind.h"
#include "props/link_targets.h"

#include <cstdint>
#include <span>
#include <string>

namespace qv {

// Byte offsets of one group in a block; -1 for a field the kind does not store.
struct GroupLayout {
    int use = -1;
    int useWidth = 4;  // 1 or 4 bytes
    int index = -1;    // the reference's index (int)
    int target = -1, elementType = -1, station = -1, elementNumber = -1, allowOther = -1, widthCode = -1;
    int bit = -1;
    int bitWidth = 4;
};

// A basic-control page's group: the reference's index, its link and, for bit groups kept
// apart from the link, the bit.
template <class IndexKind, class LinkKind>
constexpr GroupLayout pageGroup(ParamField<std::int32_t, IndexKind> index, LinkFields<LinkKind> link)
{
    return {-1,
            4,
            index.offset,
            link.target().offset,
            link.elementType().offset,
            link.station().offset,
            link.elementNumber().offset,
            link.allowOther().offset,
            -1,
            -1,
            4};
}
template <class IndexKind, class LinkKind, class B, class BitKind>
constexpr GroupLayout pageGroup(ParamField<std::int32_t, IndexKind> index, LinkFields<LinkKind> link, ParamField<B, BitKind> bit)
{
    GroupLayout g = pageGroup(index, link);
    g.bit = bit.offset;
    g.bitWidth = bit.width;
    return g;
}

// The type a group's hidden variable gets.
enum class HiddenVarType {
    ByWidth,     // "unsigned char" for 1, "unsigned short" for 2, "unsigned int" otherwise
    ShortOrInt,  // colour groups: "unsigned int" for 4, "unsigned short" otherwise
    Int,         // move group: always "unsigned int"
};

enum class LinkKind { Bit, Word };

struct AddressGroup {
    GroupLayout layout;
    LinkKind link = LinkKind::Word;
    HiddenVarType hiddenType = HiddenVarType::ByWidth;
    bool isWrite = false;
    bool hasUse = false;        // a use check shows or hides the group
    std::uint32_t use = 1;
    LinkGroupState state;
    bool changed = false;       // the user changed the group: it goes back to the block
    std::int32_t loadedIndex = -1;  // a hidden variable found elsewhere changes the index alone
};

// The common pages' groups.
enum class CommonGroup { Hide, WriteEnable, Move, FontColor, BackColor };
inline constexpr CommonGroup kCommonGroups[] = {CommonGroup::Hide, CommonGroup::WriteEnable, CommonGroup::Move,
                                                CommonGroup::FontColor, CommonGroup::BackColor};

// The group of `kind`'s common page, or nullptr when the kind has none.
const GroupLayout* CommonGroupLayout(CommonGroup group, ShapeKind kind);
// The group filled from the block (use flag, link kind and hidden type set by the page).
AddressGroup LoadCommonGroup(CommonGroup group, ShapeKind kind, std::span<const std::uint8_t> block);

AddressGroup LoadGroup(const GroupLayout& layout, LinkKind link, HiddenVarType hiddenType, bool isWrite, bool hasUse,
                       std::span<const std::uint8_t> block);
// Writes the group back when the user changed it (or a hidden variable was chosen for it).
void CommitGroup(const AddressGroup& group, std::span<std::uint8_t> block);

// Runs the group's fill operation over its state.
LinkFill FillGroup(AddressGroup& group, const LinkFillContext& context);

// The type text of the group's hidden variable (GBK).
std::string HiddenVarTypeOf(HiddenVarType type, std::uint32_t widthCode);

// The hidden variable the group needs on OK, or empty: a used group on a PLC target whose
// allow-other flag is clear (the caller passes whether a write group is in use at all).
std::string HiddenVarNeeded(AddressGroup& group, const LinkFillContext& context);

// What the group's fields accept: a station is a byte, element numbers are the driver
// files' 16-bit addresses, a bit lies in a 32-bit value.
inline constexpr std::uint32_t kMaxStation = 255;
inline constexpr std::uint32_t kMaxElementNumber = 65535;
inline constexpr std::uint32_t kMaxBit = 31;

inline constexpr const char* kHiddenVarDescription = "PLC专用HMI变量";
inline constexpr const char* kHiddenVarInitial = "1";

} // namespace qv
