#include "model/tree/tree_menus.h"

namespace qv::tree_cmd {

namespace {

constexpr MenuEntry kRootEntries[] = {
    {ProjectProperties, "工程属性", Grey::WhileCompilingOrRunMode, Grey::WhileCompilingOrRunMode},
};

// On a folder, delete and properties have no window to act on.
constexpr MenuEntry kScreenEntries[] = {
    {NewScreen, "新建画面...", Grey::WhileCompiling, Grey::WhileCompiling},
    {DeleteScreen, "删除画面...", Grey::Always, Grey::WhileCompiling},
    {ImportScreen, "导入画面...", Grey::WhileCompiling, Grey::WhileCompiling},
    {ScreenProperties, "画面属性...", Grey::Always, Grey::WhileCompiling},
};

constexpr MenuEntry kSubWindowEntries[] = {
    {NewSubWindow, "新建子窗口...", Grey::WhileCompiling, Grey::WhileCompiling},
    {DeleteSubWindow, "删除子窗口...", Grey::Always, Grey::WhileCompiling},
    {ImportSubWindow, "导入普通子窗口...", Grey::WhileCompiling, Grey::WhileCompiling},
    {ImportSpecialSubWindows, "导入特殊子窗口...", Grey::WhileCompiling, Grey::WhileCompiling},
    {SubWindowProperties, "子窗口属性...", Grey::Always, Grey::WhileCompiling},
};

constexpr TreeMenu kRootMenu{212, kRootEntries};
constexpr TreeMenu kScreenMenu{139, kScreenEntries};
constexpr TreeMenu kSubWindowMenu{140, kSubWindowEntries};

bool isFolder(TreeItemKind kind)
{
    return kind == TreeItemKind::ScreensFolder || kind == TreeItemKind::SubWindowsFolder;
}

} // namespace

const TreeMenu* MenuForItem(TreeItemKind kind)
{
    switch (kind) {
    case TreeItemKind::Root: return &kRootMenu;
    case TreeItemKind::ScreensFolder:
    case TreeItemKind::Screen: return &kScreenMenu;
    case TreeItemKind::SubWindowsFolder:
    case TreeItemKind::SubWindow: return &kSubWindowMenu;
    case TreeItemKind::Simulator: return nullptr;
    }
    return nullptr;
}

bool IsEntryEnabled(const MenuEntry& entry, TreeItemKind clicked, bool compiling, bool focusIsRunMode)
{
    switch (isFolder(clicked) ? entry.onFolder : entry.onItem) {
    case Grey::Always: return false;
    case Grey::WhileCompiling: return !compiling;
    case Grey::WhileCompilingOrRunMode: return !compiling && !focusIsRunMode;
    }
    return false;
}

} // namespace qv::tree_cmd
