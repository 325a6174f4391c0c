#include "model/params/var_refs.h"

#include "model/params/block_bytes.h"
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/params/blocks/state_picture_block.h"
#include "model/vars/var_bank.h"

#include <algorithm>
#include <cstdint>
#include <array>

namespace qv {

namespace {

namespace bb = blocks::button;
constexpr std::array<VarRefField, 3> kButton{{varRef("value", bb::kValueIndex, bb::kValueAddress, bb::kValueType),
                                              varRef("hide", bb::kHideIndex, bb::kHideAddress, bb::kHideType),
                                              varRef("write enable", bb::kWriteIndex, bb::kWriteAddress, bb::kWriteType)}};
namespace dp = blocks::dynamic_picture;
constexpr std::array<VarRefField, 3> kDynamicPicture{{varRef("frame", dp::kFrameIndex, dp::kFrameAddress, dp::kFrameType),
                                                      varRef("hide", dp::kHideIndex, dp::kHideAddress, dp::kHideType),
                                                      varRef("move", dp::kMoveIndex, dp::kMoveAddress, dp::kMoveType)}};
namespace nb = blocks::number;
constexpr std::array<VarRefField, 6> kRealTimeNumber{{
    varRef("value", nb::kValueIndex, nb::kValueAddress, nb::kValueType),
    varRef("hide", nb::kHideIndex, nb::kHideAddress, nb::kHideType),
    varRef("move", nb::kMoveIndex, nb::kMoveAddress, nb::kMoveType),
    varRef("font colour", nb::kFontVarIndex, nb::kFontVarAddress, nb::kFontVarType),
    varRef("background colour", nb::kBackVarIndex, nb::kBackVarAddress, nb::kBackVarType),
    varRef("write enable", nb::kWriteIndex, nb::kWriteAddress, nb::kWriteType)}};
namespace cv = blocks::curve;
constexpr std::array<VarRefField, 1> kCurve{{varRef("hide", cv::kHideIndex, cv::kHideAddress, cv::kHideType)}};
namespace lamp = blocks::lamp;
namespace ind = blocks::indicator;
namespace bs = blocks::bit_switch;
namespace radio = blocks::radio;
constexpr VarRefField kLampBit = varRef("bit", lamp::kBitIndex, lamp::kBitAddress, lamp::kBitType);
constexpr std::array<VarRefField, 2> kIndicator{{kLampBit, varRef("hide", ind::kHideIndex, ind::kHideAddress, ind::kHideType)}};
constexpr std::array<VarRefField, 3> kBitSwitch{{kLampBit, varRef("hide", bs::kHideIndex, bs::kHideAddress, bs::kHideType),
                                                 varRef("write enable", bs::kWriteIndex, bs::kWriteAddress, bs::kWriteType)}};
constexpr std::array<VarRefField, 3> kRadio{{varRef("value", radio::kValueIndex, radio::kValueAddress, radio::kValueType),
                                             varRef("hide", radio::kHideIndex, radio::kHideAddress, radio::kHideType),
                                             varRef("write enable", radio::kWriteIndex, radio::kWriteAddress, radio::kWriteType)}};
namespace pb = blocks::progress_bar;
constexpr std::array<VarRefField, 2> kProgress{{varRef("value", pb::kValueIndex, pb::kValueAddress, pb::kValueType),
                                                varRef("hide", pb::kHideIndex, pb::kHideAddress, pb::kHideType)}};
namespace cb = blocks::character;
constexpr std::array<VarRefField, 8> kCharacter{{
    varRef("string", cb::kStringIndex, cb::kStringAddress, cb::kStringType),
    varRef("hide", cb::kHideIndex, cb::kHideAddress, cb::kHideType),
    varRef("move", cb::kMoveIndex, cb::kMoveAddress, cb::kMoveType),
    varRef("font colour", cb::kFontVarIndex, cb::kFontVarAddress, cb::kFontVarType),
    varRef("background colour", cb::kBackVarIndex, cb::kBackVarAddress, cb::kBackVarType),
    varRef("write enable", cb::kWriteIndex, cb::kWriteAddress, cb::kWriteType),
    {"further", cb::kClickIndex.offset, cb::kClickAddress.offset, kNoField},
    varRef("conversion", cb::kConvertIndex, cb::kConvertAddress, cb::kConvertType)}};

// `required`: the index offset that must be bound for the control to work (kNoField: none).
struct KindRefs {
    ShapeKind kind;
    std::span<const VarRefField> refs;
    int required;
};
constexpr std::array<KindRefs, 9> kKinds{{
    {ShapeKind::Button, kButton, kNoField},
    {ShapeKind::DynamicPicture, kDynamicPicture, dp::kFrameIndex.offset},
    {ShapeKind::RealTimeNumber, kRealTimeNumber, nb::kValueIndex.offset},
    {ShapeKind::Curve, kCurve, kNoField},
    {ShapeKind::Indicator, kIndicator, lamp::kBitIndex.offset},
    {ShapeKind::BitSwitch, kBitSwitch, lamp::kBitIndex.offset},
    {ShapeKind::RadioButton, kRadio, radio::kValueIndex.offset},
    {ShapeKind::ProgressBar, kProgress, pb::kValueIndex.offset},
    {ShapeKind::Character, kCharacter, cb::kStringIndex.offset},
}};

// Dynamic picture: the frame variable holds a 16-byte file name when the pictures are looked
// up by name in the user area.
constexpr unsigned kPictureFileNameBytes = 16;

VarRefField curveRecordRef(int i)
{
    const cv::Record r = cv::record(i);
    return {"curve record", r.index.offset, kNoField, r.type.offset};
}

template <class Fn>
void forEachIndex(ShapeKind kind, std::span<std::uint8_t> block, Fn&& change)
{
    for (const VarRefField& ref : varRefsOf(kind, block))
        if (blockHas(block, ref.index, 4))
            blockWriteI32(block, ref.index, change(blockReadI32(block, ref.index)));
}

const KindRefs* kindRefs(ShapeKind kind)
{
    for (const KindRefs& k : kKinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

} // namespace

std::span<const VarRefField> fixedVarRefs(ShapeKind kind)
{
    const KindRefs* k = kindRefs(kind);
    return k ? k->refs : std::span<const VarRefField>{};
}

int curveRecordCount(std::span<const std::uint8_t> block)
{
    return std::clamp(CurveBlock(block).get(cv::kCurveCount), 0, cv::kMaxRecords);
}

std::vector<VarRefField> varRefsOf(ShapeKind kind, std::span<const std::uint8_t> block)
{
    const auto fixed = fixedVarRefs(kind);
    std::vector<VarRefField> refs(fixed.begin(), fixed.end());
    if (kind == ShapeKind::Curve)
        for (int i = 0, n = curveRecordCount(block); i < n; ++i)
            refs.push_back(curveRecordRef(i));
    std::erase_if(refs, [&](const VarRefField& r) { return !blockHas(block, r.index, 4); });
    return refs;
}

bool isBindingValid(ShapeKind kind, std::span<const std::uint8_t> block)
{
    const auto bound = [&](int indexOffset) { return blockReadI32(block, indexOffset, -1) >= 0; };
    switch (kind) {
    case ShapeKind::Curve:
        for (int i = 0, n = curveRecordCount(block); i < n; ++i)
            if (!bound(curveRecordRef(i).index))
                return false;
        return true;
    case ShapeKind::Character: {
        // The hide and move switches are tested by their low byte.
        const CharacterBlock b{block};
        return bound(cb::kStringIndex.offset) && (b.get(lowByte(cb::kHideOn)) == 0 || bound(cb::kHideIndex.offset))
            && (b.get(lowByte(cb::kMoveOn)) == 0 || bound(cb::kMoveIndex.offset));
    }
    default: {
        const KindRefs* k = kindRefs(kind);
        return !k || k->required == kNoField || bound(k->required);
    }
    }
}

void refreshVarRefs(ShapeKind kind, std::span<std::uint8_t> block, const VarResolver& resolve)
{
    for (const VarRefField& ref : varRefsOf(kind, block)) {
        const VarBinding binding = resolve(blockReadI32(block, ref.index));
        if (ref.address != kNoField)
            blockWriteI32(block, ref.address, binding.address);
        if (ref.type != kNoField && binding.type)
            blockWriteU(block, ref.type, 1, *binding.type);
    }
}

std::int32_t indexAfterDelete(std::int32_t index, std::int32_t row)
{
    if (index < 0)
        return index;
    if (index == row)
        return -1;
    return index > row ? index - 1 : index;
}

std::int32_t indexAfterSwap(std::int32_t index, std::int32_t row)
{
    // Row `row` trades places with the row above it; the first row has none.
    if (index < 0 || row <= 0)
        return index;
    if (index == row)
        return row - 1;
    if (index == row - 1)
        return row;
    return index;
}

std::int32_t indexAfterMove(std::int32_t index, std::int32_t source, std::int32_t target)
{
    if (index < 0 || source == target)
        return index;
    if (source >= target) {
        if (index == source)
            return target + 1;
        return index > target && index < source ? index + 1 : index;
    }
    if (index == source)
        return target;
    return index > source && index <= target ? index - 1 : index;
}

void renumberAfterVarDelete(ShapeKind kind, std::span<std::uint8_t> block, std::int32_t row, const VarResolver& resolve)
{
    forEachIndex(kind, block, [&](std::int32_t i) { return indexAfterDelete(i, row); });
    refreshVarRefs(kind, block, resolve);
}

void renumberAfterVarSwap(ShapeKind kind, std::span<std::uint8_t> block, std::int32_t row, const VarResolver& resolve)
{
    forEachIndex(kind, block, [&](std::int32_t i) { return indexAfterSwap(i, row); });
    refreshVarRefs(kind, block, resolve);
}

void renumberAfterVarMove(ShapeKind kind, std::span<std::uint8_t> block, std::int32_t source, std::int32_t target,
                          const VarResolver& resolve)
{
    forEachIndex(kind, block, [&](std::int32_t i) { return indexAfterMove(i, source, target); });
    refreshVarRefs(kind, block, resolve);
}

void clearVarRefs(ShapeKind kind, std::span<std::uint8_t> block, const VarResolver& resolve)
{
    forEachIndex(kind, block, [](std::int32_t) { return -1; });
    refreshVarRefs(kind, block, resolve);
}

std::optional<std::int64_t> curveAddressEnd(ShapeKind kind, std::span<const std::uint8_t> block, const VarExtentResolver& resolve)
{
    if (kind != ShapeKind::Curve)
        return std::nullopt;
    const std::int64_t samples = std::max(0, CurveBlock(block).get(cv::kPointCount));
    std::optional<std::int64_t> end;
    for (int i = 0, n = curveRecordCount(block); i < n; ++i) {
        const std::int32_t index = blockReadI32(block, curveRecordRef(i).index);
        if (index < 0)
            continue;
        if (const auto var = resolve(index))
            end = std::max(end.value_or(0), clampToPanelAddress(var->address) + std::int64_t{var->width} * samples);
    }
    return end;
}

std::optional<std::int64_t> stringAddressEnd(ShapeKind kind, std::span<const std::uint8_t> block, const VarExtentResolver& resolve)
{
    if (kind != ShapeKind::Character)
        return std::nullopt;
    const std::int32_t index = CharacterBlock{block}.get(cb::kStringIndex);
    if (index < 0)
        return std::nullopt;
    const auto var = resolve(index);
    if (!var)
        return std::nullopt;
    return clampToPanelAddress(var->address) + std::max(0, CharacterBlock{block}.get(cb::kStringLength));
}

void collectVarSizes(ShapeKind kind, std::span<const std::uint8_t> block, std::span<unsigned> sizes, const VarWidthResolver& widthOf)
{
    const auto raise = [&](std::int32_t index, std::int64_t bytes) {
        if (index < 0 || static_cast<std::size_t>(index) >= sizes.size() || bytes <= 0)
            return;
        const auto capped = static_cast<unsigned>(std::min<std::int64_t>(bytes, kVarMemSize));
        sizes[static_cast<std::size_t>(index)] = std::max(sizes[static_cast<std::size_t>(index)], capped);
    };
    switch (kind) {
    case ShapeKind::DynamicPicture: {
        const DynamicPictureBlock picture(block);
        const bool byFileName = picture.get(dp::kUserArea) == 1 && picture.get(dp::kByFileName) == 1;
        if (byFileName)
            raise(picture.get(dp::kFrameIndex), kPictureFileNameBytes);
        break;
    }
    case ShapeKind::Curve: {
        const std::int64_t samples = CurveBlock(block).get(cv::kPointCount);
        for (int i = 0, n = curveRecordCount(block); i < n; ++i) {
            const std::int32_t index = blockReadI32(block, curveRecordRef(i).index);
            raise(index, widthOf(index) * samples);
        }
        break;
    }
    case ShapeKind::Character: {
        const CharacterBlock b{block};
        const std::int32_t index = b.get(cb::kStringIndex);
        raise(index, std::int64_t{widthOf(index)} * b.get(cb::kStringLength));
        break;
    }
    default:
        break;
    }
}

} // namespace qv
