// The rules the project tree applies without touching a project: window names, sub-window
// placement, item texts and the context menus.
#include "model/tree/tree_menus.h"
#include "model/tree/window_names.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(TreeRules, WindowNamesThatWouldLeaveTheFolderAreRefused)
{
    struct Case {
        const char* what;
        std::string name;  // GBK
        bool accepted;
    };
    const Case cases[] = {
        {"plain", "win1", true},
        {"Chinese", "主画面", true},
        // 淺 is 9C 5C and 憑 is 91 7B: a byte scan would take 淺 for a backslash.
        {"second byte 0x5C", "淺色", true},
        {"second byte 0x7B", "憑證", true},
        {"single dot", "a.b", true},
        {"empty", "", false},
        {"backslash", "a\\b", false},
        {"slash", "a/b", false},
        {"colon", "a:b", false},
        {"parent", "..", false},
        {"dots inside", "a..b", false},
        {"line end", "a\nb", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(!CheckWindowName(c.name).has_value(), c.accepted) << c.what;
}

TEST(TreeRules, SubWindowMustLieInsideTheScreen)
{
    struct Case {
        const char* what;
        std::int64_t x, y, w, h;
        const char* message;  // nullptr: fits
    };
    const Case cases[] = {
        {"half size, quarter corner", 200, 120, 400, 240, nullptr},
        {"exactly the screen", 0, 0, 800, 480, nullptr},
        {"600 wide at 500", 500, 0, 600, 100, "子窗口宽度超出显示器显示范围"},
        {"wider than the screen", 0, 0, 801, 100, "子窗口宽度超出显示器显示范围"},
        {"one row too low", 0, 1, 100, 480, "子窗口高度超出显示器显示范围"},
        {"left of the screen", -1, 0, 100, 100, "子窗口宽度超出显示器显示范围"},
        {"huge unsigned sizes do not wrap", 0, 0, 0xFFFFFFFFll, 10, "子窗口宽度超出显示器显示范围"},
        {"no width", 0, 0, 0, 100, "子窗口宽度和高度必须大于0"},
        {"no height", 0, 0, 100, 0, "子窗口宽度和高度必须大于0"},
    };
    for (const Case& c : cases) {
        const auto why = CheckSubWindowPlacement(c.x, c.y, c.w, c.h, 800, 480);
        if (c.message)
            EXPECT_EQ(why.value_or("fits"), c.message) << c.what;
        else
            EXPECT_FALSE(why) << c.what;
    }
    EXPECT_EQ(CentredOrigin(800, 600), 100);
    EXPECT_LT(CentredOrigin(800, 900), 0) << "a window wider than the screen cannot be centred into it";
}

TEST(TreeRules, ItemTextIsNumberColonNameAndTheNameIsAfterTheFirstColon)
{
    EXPECT_EQ(WindowItemText(0, "win0.drw"), "0:win0.drw");
    EXPECT_EQ(WindowItemText(12, "系统键盘.dlg"), "12:系统键盘.dlg");
    EXPECT_EQ(WindowNameOfItemText("3:a:b.drw"), "a:b.drw");
    EXPECT_EQ(WindowNameOfItemText("模拟LCD/VGA显示屏"), "模拟LCD/VGA显示屏");
    EXPECT_EQ(StemOfWindowName("win0.drw", WindowKind::Screen), "win0");
    EXPECT_EQ(StemOfWindowName("pop.dlg", WindowKind::Screen), "pop.dlg");
}

TEST(TreeRules, ContextMenusGreyByItemAndState)
{
    using namespace tree_cmd;
    EXPECT_EQ(MenuForItem(TreeItemKind::Simulator), nullptr);
    EXPECT_EQ(MenuForItem(TreeItemKind::Root)->resource, 212);
    EXPECT_EQ(MenuForItem(TreeItemKind::ScreensFolder)->resource, 139);
    EXPECT_EQ(MenuForItem(TreeItemKind::SubWindow)->resource, 140);

    struct Case {
        TreeItemKind clicked;
        bool compiling;
        bool runMode;
        std::vector<int> enabled;  // the commands of the item's menu that are enabled
    };
    const Case cases[] = {
        {TreeItemKind::Root, false, false, {ProjectProperties}},
        {TreeItemKind::Root, false, true, {}},
        {TreeItemKind::Root, true, false, {}},
        {TreeItemKind::ScreensFolder, false, false, {NewScreen, ImportScreen}},
        {TreeItemKind::ScreensFolder, true, false, {}},
        {TreeItemKind::Screen, false, true, {NewScreen, DeleteScreen, ImportScreen, ScreenProperties}},
        {TreeItemKind::Screen, true, false, {}},
        {TreeItemKind::SubWindowsFolder, false, false, {NewSubWindow, ImportSubWindow, ImportSpecialSubWindows}},
        {TreeItemKind::SubWindow, false, false,
         {NewSubWindow, DeleteSubWindow, ImportSubWindow, ImportSpecialSubWindows, SubWindowProperties}},
        {TreeItemKind::SubWindow, true, false, {}},
    };
    for (const Case& c : cases) {
        std::vector<int> enabled;
        for (const MenuEntry& e : MenuForItem(c.clicked)->entries)
            if (IsEntryEnabled(e, c.clicked, c.compiling, c.runMode))
                enabled.push_back(e.command);
        EXPECT_EQ(enabled, c.enabled) << static_cast<int>(c.clicked) << " compiling " << c.compiling;
    }
}
