#include "app/layout/view_keys.h"

#include "app/edit/edit_commands.h"
#include "app/layout/layout_commands.h"

namespace qv::layout {
namespace {
constexpr int kDeleteKey = 46;
}

bool OnViewKeyDown(CDrawView& view, int key, bool ctrl)
{
    if (key >= static_cast<int>(Arrow::Left) && key <= static_cast<int>(Arrow::Down))
        return MoveSelectionByArrow(view, static_cast<Arrow>(key), ctrl);
    if (key == kDeleteKey)
        return edit::ClearSelection(view);
    return false;
}

} // namespace qv::layout
