#include "app/layout/view_keys.h"

#include "app/edit/edit_commands.h"
#include "app/layout/layout_commands.h"
#include "model/app/editor_app.h"

namespace qv::layout {
namespace {
constexpr int kDeleteKey = 46;
constexpr int kDownloadKey = 68; // 'D': with Ctrl, the quick download
} // namespace

bool OnViewKeyDown(CDrawView& view, int key, bool ctrl)
{
    if (key >= static_cast<int>(Arrow::Left) && key <= static_cast<int>(Arrow::Down))
        return MoveSelectionByArrow(view, static_cast<Arrow>(key), ctrl);
    if (key == kDeleteKey)
        return edit::ClearSelection(view);
    if (key == kDownloadKey && ctrl) {
        if (CEditorApp* app = GetEditorApp())
            app->QuickDownloadProject();
        return true;
    }
    return false;
}

} // namespace qv::layout
