#include "compiler/screen/control_regions.h"

#include "model/params/blocks/character_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/object_var_refs.h"
#include "model/shape/draw_obj.h"

#include <array>

namespace qv::screen {
namespace {

using Condition = bool (*)(const CDrawObj&);

bool buttonCondition(const CDrawObj& o)
{
    auto w = [&](std::size_t n) { return o.ParamI32(n); };
    auto b = [&](std::size_t n) { return o.ParamU8(n); };
    return (w(4) != 0 && w(16) != 0) || (w(8) != 0 && w(20) != 0) || (w(12) != 0 && w(24) != 0) ||
           (w(4) == 0 && (b(94) == 0 || w(200) == 1)) || (w(8) == 0 && (b(92) == 0 || w(204) == 1)) ||
           (w(12) == 0 && (b(93) == 0 || w(208) == 1));
}

// Per control kind: its item type, where its hide and move switches live (-1: none; the
// character control keeps both as ints, the others as bytes) and its value condition.
struct KindRule {
    int kind;
    int itemType;
    int hideOffset;
    int moveOffset;
    bool switchesAreInts;
    Condition valueCondition;
};

constexpr std::array<KindRule, 11> kRules{{
    {kKindButton, 2, 126, -1, false, buttonCondition},
    {kKindRealTimeNumber, 3, blocks::number::kHideOn.offset, blocks::number::kMoveOn.offset, false,
     [](const CDrawObj& o) { return o.Param(blocks::number::kTransparent) != 0 && o.Param(blocks::number::kBackVarOn) != 1; }},
    {kKindDynamicPicture, 4, 77, 76, false, [](const CDrawObj& o) { return o.ParamI32(0) != 0; }},
    {kKindNumericInput, 5, -1, -1, false, [](const CDrawObj&) { return false; }},
    {kKindCurve, 6, 853, -1, false, [](const CDrawObj& o) { return o.ParamI32(16) != 0; }},
    {kKindProgressBar, 7, 49, -1, false, [](const CDrawObj& o) { return o.ParamI32(4) != 0; }},
    {kKindIndicator, 8, 27, -1, false, [](const CDrawObj& o) { return o.ParamI32(0) != 0 || o.ParamI32(4) != 0; }},
    {kKindBitSwitch, 9, 30, -1, false, [](const CDrawObj& o) { return o.ParamI32(0) != 0 || o.ParamI32(4) != 0; }},
    {kKindRadioButton, 10, 15, -1, false,
     [](const CDrawObj& o) { return !(o.ParamI32(24) == 0 && o.ParamI32(28) == 0 && o.ParamI32(60) != 0); }},
    {kKindAreaControl, 12, -1, -1, false, [](const CDrawObj&) { return false; }},
    {kKindCharacter, 13, blocks::character::kHideOn.offset, blocks::character::kMoveOn.offset, true,
     [](const CDrawObj& o) { return o.Param(blocks::character::kTransparent) != 0; }},
}};

const KindRule* ruleFor(int kind)
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
    if (obj.m_nKind == kKindAreaControl)
        return false;
    const KindRule& rule = *ruleFor(obj.m_nKind);
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
        if (j == index || !info[j].compilable || objects[j]->m_nKind == kKindAreaControl)
            continue;
        if (isMovingControl(*objects[j]) || objects[j]->Overlaps(mine))
            (j < index ? me.overlapsEarlier : me.overlappedByLater) = true;
    }

    const int kind = obj.m_nKind;
    if (me.overlapsEarlier) {
        if (kind == kKindNumericInput) {
            if (me.overlappedByLater)
                flag(redraw::Overlapped);
            return false;
        }
        if (kind == kKindButton) {
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
        if (kind == kKindNumericInput) {
            flag(redraw::Overlapped);
            return false;
        }
        if (hide) {
            flag(redraw::HideSwitch);
            return needs();
        }
        if (kind == kKindDynamicPicture)
            return true;
        flag(redraw::Overlapped);
        if (kind == kKindCharacter && obj.Param(blocks::character::kTransparent) != 0 && obj.Param(blocks::character::kBackVarOn) == 0)
            return needs();
        return false;
    }

    if (hide) {
        flag(redraw::HideSwitch);
        return needs();
    }
    if (kind == kKindCharacter && obj.Param(blocks::character::kTransparent) != 0)
        return needs();
    return false;
}

} // namespace

int itemTypeForKind(int kind)
{
    const KindRule* r = ruleFor(kind);
    return r ? r->itemType : -1;
}

bool isMovingControl(const CDrawObj& obj)
{
    const KindRule* r = ruleFor(obj.m_nKind);
    return r && switchOn(obj, r->moveOffset, r->switchesAreInts);
}

ControlPlan prepareControlLists(std::span<const std::unique_ptr<CDrawObj>> objects, int firstRegionItem)
{
    ControlPlan plan;
    plan.info.resize(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i]->m_rcPosition = objects[i]->m_rcPosition.normalized();
        const CDrawObj& o = *objects[i];
        plan.info[i].compilable = o.IsControl() && IsBindingValid(o) && itemTypeForKind(o.m_nKind) >= 0;
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
