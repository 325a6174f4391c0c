#pragma once
// The project tree's commands and its context menus, by the kind of the item clicked.
#include "model/tree/project_tree_model.h"

#include <span>
#include <string_view>

namespace qv::tree_cmd {

inline constexpr int NewScreen = 32816;
inline constexpr int DeleteScreen = 32817;
inline constexpr int ScreenProperties = 32818;
inline constexpr int ImportScreen = 32872;
inline constexpr int NewSubWindow = 32835;
inline constexpr int DeleteSubWindow = 32836;
inline constexpr int SubWindowProperties = 32837;
inline constexpr int ImportSubWindow = 32871;
inline constexpr int ImportSpecialSubWindows = 32913;
inline constexpr int ProjectProperties = 32914;

// When an entry is greyed.
enum class Grey { WhileCompiling, Always, WhileCompilingOrRunMode };

struct MenuEntry {
    int command;
    std::string_view text;  // GBK
    Grey onFolder;          // greyed rule when the folder item was clicked
    Grey onItem;            // when one of its windows (or the root) was clicked
};

struct TreeMenu {
    int resource;  // 212, 139 or 140
    std::span<const MenuEntry> entries;
};

// The menu of the item kind; nullptr for the simulator item (it has none).
const TreeMenu* MenuForItem(TreeItemKind kind);

bool IsEntryEnabled(const MenuEntry& entry, TreeItemKind clicked, bool compiling, bool focusIsRunMode);

} // namespace qv::tree_cmd
