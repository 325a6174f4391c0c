#pragma once
// The editing view's context menu: its entries as data, and the menu built from them.
#include <functional>
#include <span>

class QMenu;
class QWidget;

namespace qv {

struct ContextMenuEntry {
    const char8_t* text;
    int commandId;
};

std::span<const ContextMenuEntry> viewContextMenuEntries();

// Each entry is enabled by `enabled(id)` and runs `run(id)`; without `run` every entry is
// greyed. The caller owns the menu.
QMenu* BuildViewContextMenu(QWidget* parent, const std::function<bool(int)>& enabled,
                            const std::function<void(int)>& run);

} // namespace qv
