#include "compiler/screen/control_regions.h"

#include "model/params/blocks/button_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/params/blocks/state_picture_block.h"
#include "model/params/object_var_refs.h"
#include "model/shape/draw_obj.h"

#include <algorithm>
#include <array>

namespace qv::screen {
namespace {

using Condition = bool (*)(const CDrawObj&);

// Some state shows what lies under the button: a transparent picture, or a face that is
// no face at all.
bool buttonCondition(const CDrawObj& o)
{
    return std::any_of(blocks::button::kStates.begin(), blocks::button::kStates.end(), [&](const auto& s) {
        const bool picture = o.Param(s.usePicture) != 0;
        return picture ? o.Param(s.pictureTransparent) != 0 : o.Param(s.faceStyle) == 0 || o.Param(s.noFace) == 1;
    });
}

bool lampCondition(const CDrawObj& o)
{
    return o.Param(blocks::lamp::kOnTransparent) != 0 || o.Param(blocks::lamp::kOffTransparent) != 0;
}

// Per control kind: its item type, where its hide and move switches live (-1: none; the
// character control keeps both as ints, the others as bytes) and its value condition.
struct KindRule {
    ShapeKind kind;
    int itemType;
    int hideOffset;
    int moveOffset;
    bool switchesAreInts;
    Condition valueCondition;
};

constexpr std::array<KindRule, 11> kRules{{
    {ShapeKind::Button, 2, blocks::button::kHideOption.offset, -1, false, buttonCondition},
    {ShapeKind::RealTimeNumber, 3, blocks::number::kHideOn.offset, blocks::number::kMoveOn.offset, false,
     [](const CDrawObj& o) { return o.Param(blocks::number::kTransparent) != 0 && o.Param(blocks::number::kBackVarOn) != 1; }},
    {ShapeKind::DynamicPicture, 4, blocks::dynamic_picture::kHideOption.offset, blocks::dynamic_picture::kMoveOption.offset, false,
     [](const CDrawObj& o) { return o.Param(blocks::dynamic_picture::kTransparent) != 0; }},
    {ShapeKind::NumericInput, 5, -1, -1, false, [](const CDrawObj&) { return false; }},
    {ShapeKind::Curve, 6, blocks::curve::kHideOption.offset, -1, false,
     [](const CDrawObj& o) { return o.Param(blocks::curve::kTransparent) != 0; }},
    {ShapeKind::ProgressBar, 7, blocks::progress_bar::kHideOption.offset, -1, false,
     [](const CDrawObj& o) { return o.Param(blocks::progress_bar::kNoBack) != 0; }},
    {ShapeKind::Indicator, 8, blocks::indicator::kHideOption.offset, -1, false, lampCondition},
    {ShapeKind::BitSwitch, 9, blocks::bit_switch::kHideOption.offset, -1, false, lampCondition},
    {ShapeKind::RadioButton, 10, blocks::radio::kHideOption.offset, -1, false,
     [](const CDrawObj& o) {
         using namespace blocks::radio;
         return !(o.Param(kSelectedTransparent) == 0 && o.Param(kUnselectedTransparent) == 0 && o.Param(kPictureMode) != 0);
     }},
    {ShapeKind::AreaControl, 12, -1, -1, false, [](const CDrawObj&) { return false; }},
    {ShapeKind::Character, 13, blocks::character::kHideOn.offset, blocks::character::kMoveOn.offset, true,
     [](const CDrawObj& o) { return o.Param(blocks::character::kTransparent) != 0; }},
}};

const KindRule* ruleFor(ShapeKind kind)
{
    for (const KindRule& r : kRules)
        if (r.kind == kind)
            return &r;
    return nullptr;
}

bool switchOn(const CDrawObj& o, int offset, bool isInt)
{
    if (offset < 0)
        return false;
    const auto at = static_cast<std::size_t>(offset);
    return isInt ? o.ParamI32(at) != 0 : o.ParamU8(at) != 0;
}

bool hideSwitch(const CDrawObj& o, const KindRule& r) { return switchOn(o, r.hideOffset, r.switchesAreInts); }

bool contains(const Rect& outer, const Rect& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// Decides one control's flags; true when it becomes a region candidate.
bool setRedrawFlags(std::span<const std::unique_ptr<CDrawObj>> objects, std::span<ControlCompileInfo> info, std::size_t index)
{
    const CDrawObj& obj = *objects[index];
    ControlCompileInfo& me = info[index];
    me.overlapsEarlier = me.overlappedByLater = me.needsRegion = false;
    me.redrawFlags = 0;
    if (obj.Kind() == ShapeKind::AreaControl)
        return false;
    const KindRule& rule = *ruleFor(obj.Kind());
    const bool hide = hideSwitch(obj, rule);
    const bool e = rule.valueCondition(obj);
    auto flag = [&](std::uint16_t bits) { me.redrawFlags |= bits; };
    auto needs = [&] {
        me.needsRegion = true;
        return true;
    };

    if (isMovingControl(obj)) {
        me.redrawFlags = hide ? 0x16 : 0x14;
        if (e)
            flag(redraw::ValueBackground);
        return false;
    }

    const Rect mine = obj.m_rcPosition;
    for (std::size_t j = 0; j < objects.size(); ++j) {
        if (j == index || !info[j].compilable || objects[j]->Kind() == ShapeKind::AreaControl)
            continue;
        if (isMovingControl(*objects[j]) || objects[j]->Overlaps(mine))
            (j < index ? me.overlapsEarlier : me.overlappedByLater) = true;
    }

    const ShapeKind kind = obj.Kind();
    if (me.overlapsEarlier) {
        if (kind == ShapeKind::NumericInput) {
            if (me.overlappedByLater)
                flag(redraw::Overlapped);
            return false;
        }
        if (kind == ShapeKind::Button) {
            if (e)
                flag(redraw::ValueBackground);
            if (hide) {
                flag(redraw::HideSwitch);
                return needs();
            }
            if (e)
                return needs();
            if (me.overlappedByLater)
                flag(redraw::Overlapped);
            return false;
        }
        if (hide) {
            flag(redraw::HideSwitch);
            if (e)
                flag(redraw::ValueBackground);
            return needs();
        }
        if (e) {
            flag(redraw::ValueBackground);
            return needs();
        }
        if (me.overlappedByLater)
            flag(redraw::Overlapped);
        return false;
    }

    if (me.overlappedByLater) {
        if (kind == ShapeKind::NumericInput) {
            flag(redraw::Overlapped);
            return false;
        }
        if (hide) {
            flag(redraw::HideSwitch);
            return needs();
        }
        if (kind == ShapeKind::DynamicPicture)
            return true;
        flag(redraw::Overlapped);
        if (kind == ShapeKind::Character && obj.Param(blocks::character::kTransparent) != 0 && obj.Param(blocks::character::kBackVarOn) == 0)
            return needs();
        return false;
    }

    if (hide) {
        flag(redraw::HideSwitch);
        return needs();
    }
    if (kind == ShapeKind::Character && obj.Param(blocks::character::kTransparent) != 0)
        return needs();
    return false;
}

} // namespace

int itemTypeForKind(ShapeKind kind)
{
    const KindRule* r = ruleFor(kind);
    return r ? r->itemType : -1;
}

bool isMovingControl(const CDrawObj& obj)
{
    const KindRule* r = ruleFor(obj.Kind());
    return r && switchOn(obj, r->moveOffset, r->switchesAreInts);
}

ControlPlan prepareControlLists(std::span<const std::unique_ptr<CDrawObj>> objects, int firstRegionItem)
{
    ControlPlan plan;
    plan.info.resize(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i]->m_rcPosition = objects[i]->m_rcPosition.normalized();
        const CDrawObj& o = *objects[i];
        plan.info[i].compilable = o.IsControl() && IsBindingValid(o) && itemTypeForKind(o.Kind()) >= 0;
    }

    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (!plan.info[i].compilable)
            continue;
        if (setRedrawFlags(objects, plan.info, i)) {
            candidates.push_back(i);
            plan.info[i].redrawFlags |= redraw::InRegion;
            plan.info[i].contained = false;
        }
    }

    // Of two equal rectangles the later one stays the region: the earlier is marked first.
    for (std::size_t q : candidates)
        for (std::size_t r : candidates)
            if (q != r && !plan.info[r].contained && contains(objects[r]->m_rcPosition, objects[q]->m_rcPosition))
                plan.info[q].contained = true;

    for (std::size_t c : candidates)
        if (!plan.info[c].contained)
            plan.outermost.push_back(c);

    for (std::size_t c : candidates) {
        std::size_t b = plan.outermost.size() - 1;
        for (std::size_t k = 0; k < plan.outermost.size(); ++k) {
            if (contains(objects[plan.outermost[k]]->m_rcPosition, objects[c]->m_rcPosition)) {
                b = k;
                break;
            }
        }
        plan.info[c].regionItem = static_cast<std::int16_t>(static_cast<int>(b) + firstRegionItem);
    }
    return plan;
}

} // namespace qv::screen
