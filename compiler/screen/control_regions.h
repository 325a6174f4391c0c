#pragma once
// Which controls of a window need the panel to keep the background under them, the redraw
// flags every control item carries, and the background regions that hold those backgrounds.
#include "model/shape/shape_kind.h"
#include "platform/surface/geometry.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace qv {
class CDrawObj;
}

namespace qv::screen {

namespace redraw {
inline constexpr std::uint16_t ValueBackground = 0x01;
inline constexpr std::uint16_t HideSwitch = 0x02;
inline constexpr std::uint16_t Moving = 0x04;
inline constexpr std::uint16_t InRegion = 0x08;
inline constexpr std::uint16_t Overlapped = 0x10;
} // namespace redraw

// What the compile decides for one object; the item compilers copy the flags and the region
// item into their items.
struct ControlCompileInfo {
    bool compilable = false;        // control flag, binding valid, a kind with an item
    std::uint16_t redrawFlags = 0;
    std::int16_t regionItem = -1;
    bool overlapsEarlier = false;
    bool overlappedByLater = false;
    bool needsRegion = false;
    bool contained = false;
};

// Item type code of a control kind; -1 for kinds that compile to no item.
int itemTypeForKind(ShapeKind kind);
// Dynamic pictures, character controls and real-time numbers whose move switch is on.
bool isMovingControl(const CDrawObj& obj);

struct ControlPlan {
    std::vector<ControlCompileInfo> info;   // one per object, in list order
    std::vector<std::size_t> outermost;     // object indexes of the region items, in order
};

// Normalises every object's rectangle, decides the flags of every compilable control and the
// region items. `firstRegionItem` is 1 for a screen, 2 for a sub-window.
ControlPlan prepareControlLists(std::span<const std::unique_ptr<CDrawObj>> objects, int firstRegionItem);

} // namespace qv::screen
